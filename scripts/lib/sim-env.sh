# shellcheck shell=bash
# A register simulator on loopback for scripts/demo and bench/e2e_list_job: a throw-away PKI and
# certificate store made with the openssl command line, and register-sim started and stopped.
# Source it; it sets no shell options. Every function returns non-zero and says why on failure.
#
#   sim_env_init DIR                  work folder for the PKI, the store and the simulator's output
#   sim_env_make_pki                  sets SIM_ENV_STORE: the certificate store folder to hand over
#   sim_env_start REGISTER_SIM [OPTION...]
#                                     sets SIM_PID, SIM_URL (the service), SIM_ORIGIN
#   sim_env_stats                     prints the simulator's /_sim/stats (needs curl)
#   sim_env_reset                     zeroes those counters (needs curl)
#   sim_env_stop                      stops the simulator if it runs; safe in an exit trap

sim_env_init() {
  SIM_ENV_DIR=$1
  SIM_ENV_PKI=$SIM_ENV_DIR/pki
  SIM_ENV_STORE=$SIM_ENV_DIR/store
  SIM_PID=
  SIM_URL=
  SIM_ORIGIN=
  mkdir -p "$SIM_ENV_DIR"
}

_sim_env_openssl() {
  local log=$SIM_ENV_PKI/openssl.log
  if ! openssl "$@" >>"$log" 2>&1; then
    echo "sim-env: openssl $* failed:" >&2
    tail -n 5 "$log" >&2
    return 1
  fi
}

# A new key NAME.key and its certificate, issued by the CA for two days with the given
# extensions. The key is EC P-256, or RSA 2048 when the fourth argument says rsa.
_sim_env_issue() {
  local name=$1 subject=$2 extensions=$3 p=$SIM_ENV_PKI
  local key=(-algorithm EC -pkeyopt ec_paramgen_curve:P-256)
  [ "${4:-}" = rsa ] && key=(-algorithm RSA -pkeyopt rsa_keygen_bits:2048)
  printf '%s\n' "$extensions" >"$p/$name.ext" &&
    _sim_env_openssl genpkey "${key[@]}" -out "$p/$name.key" &&
    _sim_env_openssl req -new -key "$p/$name.key" -subj "$subject" -out "$p/$name.csr" &&
    _sim_env_openssl x509 -req -in "$p/$name.csr" -CA "$p/ca.pem" -CAkey "$p/ca.key" \
      -CAcreateserial -days 2 -extfile "$p/$name.ext" -out "$p/$name.pem"
}

# The issuer carries the name the program's client-certificate selector asks for; it issues the
# server's certificate for 127.0.0.1 and the "KREPTD" client certificate, whose key is RSA so that
# Windows (and wine) can import its .p12, client.p12 (password "zelvor"), into the user's store. The store holds the
# client certificate with its key (owner-only, as the program demands) and trusts the issuer, so
# the program verifies the simulator.
sim_env_make_pki() {
  local p=$SIM_ENV_PKI s=$SIM_ENV_STORE
  command -v openssl >/dev/null || {
    echo "sim-env: the openssl command is missing (scripts/bootstrap installs it)" >&2
    return 1
  }
  mkdir -p "$p" "$s/personal" "$s/issuers" || return 1
  _sim_env_openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$p/ca.key" &&
    _sim_env_openssl req -x509 -new -key "$p/ca.key" -subj "/L=local/O=gitd/CN=GITD SUB03 CA" \
      -days 2 -out "$p/ca.pem" &&
    _sim_env_issue server "/CN=127.0.0.1" "subjectAltName=IP:127.0.0.1" &&
    _sim_env_issue client "/C=PL/O=Zelvor/CN=KREPTD" "extendedKeyUsage=clientAuth" rsa &&
    _sim_env_openssl pkcs12 -export -in "$p/client.pem" -inkey "$p/client.key" \
      -certfile "$p/ca.pem" -passout pass:zelvor -out "$p/client.p12" || return 1
  (umask 077 && cat "$p/client.pem" "$p/client.key" >"$s/personal/kreptd.pem") &&
    cp "$p/ca.pem" "$s/issuers/gitd.pem"
}

sim_env_start() {
  local binary=$1 out=$SIM_ENV_DIR/register-sim.out
  shift
  [ -x "$binary" ] || {
    echo "sim-env: no simulator at $binary" >&2
    return 1
  }
  : >"$out"
  "$binary" --host 127.0.0.1 --port 0 --cert "$SIM_ENV_PKI/server.pem" \
    --key "$SIM_ENV_PKI/server.key" --client-ca "$SIM_ENV_PKI/ca.pem" "$@" \
    >"$out" 2>"$SIM_ENV_DIR/register-sim.err" &
  SIM_PID=$!
  # It prints its address once it serves; a large register takes a moment to generate.
  local waited=0
  until SIM_URL=$(sed -n 's/^listening on \(https:\/\/.*\)$/\1/p' "$out") && [ -n "$SIM_URL" ]; do
    if ! kill -0 "$SIM_PID" 2>/dev/null; then
      echo "sim-env: register-sim ended before it listened:" >&2
      cat "$SIM_ENV_DIR/register-sim.err" >&2
      SIM_PID=
      return 1
    fi
    if [ $waited -ge 600 ]; then
      echo "sim-env: register-sim did not listen within 60 s" >&2
      sim_env_stop
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  SIM_ORIGIN=${SIM_URL%/*}
}

_sim_env_curl() {
  command -v curl >/dev/null || {
    echo "sim-env: the curl command is missing (apt-get install curl)" >&2
    return 1
  }
  curl --silent --show-error --fail --cacert "$SIM_ENV_PKI/ca.pem" \
    --cert "$SIM_ENV_PKI/client.pem" --key "$SIM_ENV_PKI/client.key" "$@"
}

sim_env_stats() {
  _sim_env_curl "$SIM_ORIGIN/_sim/stats"
}

sim_env_reset() {
  _sim_env_curl --data "" "$SIM_ORIGIN/_sim/reset" >/dev/null
}

sim_env_stop() {
  [ -n "${SIM_PID:-}" ] || return 0
  kill -TERM "$SIM_PID" 2>/dev/null || true
  wait "$SIM_PID" 2>/dev/null || true
  SIM_PID=
}
