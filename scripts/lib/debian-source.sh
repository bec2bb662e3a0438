# shellcheck shell=bash
# Debian source packages for the Windows cross-builds (scripts/windows/deps, scripts/windows/qt):
# enabling deb-src, fetching and unpacking a package's newest fetchable source, and running a
# build step into a log. Source it after setting:
#   me      the script's name, the prefix of its messages
#   logs    the folder of the logs
#   srcdir  the folder where sources are unpacked
# fetch_source sets SRC_VERSION and SRC_DIR for the caller.
# shellcheck disable=SC2154,SC2034

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }

# --- Debian source lists -------------------------------------------------------------------------

# deb822 files: add deb-src to the Types line of each stanza that points at a Debian archive.
# Prints the new text; exits 3 when nothing needed changing.
# shellcheck disable=SC2016 # awk's own $0, not the shell's
deb822_awk='
function flush() {
  for (i = 1; i <= n; i++) {
    line = buf[i]
    if (debian && line ~ /^Types:/ && line !~ /deb-src/) { line = line " deb-src"; changed = 1 }
    print line
  }
  n = 0; debian = 0
}
/^[ \t]*$/ { flush(); print; next }
{ buf[++n] = $0; if ($0 ~ /^URIs:/ && $0 ~ /debian/) debian = 1 }
END { flush(); exit changed ? 0 : 3 }'

# One-line format: a "deb-src" twin after every active Debian "deb" line that has none.
# shellcheck disable=SC2016 # awk's own $0, not the shell's
oneline_awk='
{ lines[++n] = $0; if ($1 == "deb-src") have[substr($0, index($0, "deb-src") + 7)] = 1 }
END {
  for (i = 1; i <= n; i++) {
    print lines[i]
    if (lines[i] ~ /^[ \t]*deb[ \t]/ && lines[i] ~ /debian/) {
      rest = substr(lines[i], index(lines[i], "deb") + 3)
      if (!(rest in have)) { print "deb-src" rest; have[rest] = 1; changed = 1 }
    }
  }
  exit changed ? 0 : 3
}'

enable_deb_src() {
  local f new changed=0 rc
  for f in /etc/apt/sources.list.d/*.sources /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    rc=0
    case "$f" in
      *.sources) new=$(awk "$deb822_awk" "$f") || rc=$? ;;
      *) new=$(awk "$oneline_awk" "$f") || rc=$? ;;
    esac
    [ $rc -eq 3 ] && continue
    [ $rc -eq 0 ] || { echo "$me: cannot read $f" >&2; return 1; }
    echo "$me: enabling Debian source packages in $f"
    printf '%s\n' "$new" | $sudo tee "$f" >/dev/null
    changed=1
  done
  if [ $changed -eq 1 ] || ! compgen -G '/var/lib/apt/lists/*_Sources*' >/dev/null; then
    echo "$me: apt-get update"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get update -q >"$logs/apt-update.log" 2>&1 || {
      tail -n 20 "$logs/apt-update.log" >&2
      return 1
    }
  fi
}

# --- sources and stamps --------------------------------------------------------------------------

# The source versions apt knows for a package, newest first.
source_versions() {
  local v sorted=() i j
  while read -r v; do
    for ((i = 0; i < ${#sorted[@]}; i++)); do
      dpkg --compare-versions "$v" gt "${sorted[i]}" && break
    done
    sorted=("${sorted[@]:0:i}" "$v" "${sorted[@]:i}")
  done < <(apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -u)
  for j in "${sorted[@]}"; do echo "$j"; done
}

# Sets SRC_VERSION and SRC_DIR to the newest source of package $1 that is unpacked already or that
# the mirror serves (a mirror may list a security update whose files it does not carry).
fetch_source() {
  local pkg=$1 version plain dir newest=""
  : >"$logs/$pkg-source.log"
  for version in $(source_versions "$pkg"); do
    [ -n "$newest" ] || newest=$version
    plain=${version#*:}
    dir=$srcdir/$pkg-$plain
    if [ ! -f "$dir/.unpacked" ]; then
      rm -rf "$dir"
      if ! (cd "$srcdir" && apt-get source --download-only "$pkg=$version" &&
        dpkg-source --no-check -x "${pkg}_${plain}.dsc" "$dir") >>"$logs/$pkg-source.log" 2>&1; then
        rm -rf "$dir"
        continue
      fi
      touch "$dir/.unpacked"
    fi
    [ "$version" = "$newest" ] ||
      echo "$me: warning: $pkg $newest cannot be fetched (see $logs/$pkg-source.log); using $version" >&2
    SRC_VERSION=$version
    SRC_DIR=$dir
    return 0
  done
  echo "$me: no source of $pkg could be fetched (is deb-src enabled?):" >&2
  tail -n 20 "$logs/$pkg-source.log" >&2
  return 1
}

# Runs a build step quietly, appending to the library's log; on failure shows the log's tail.
run() {
  local lib=$1
  shift
  if ! "$@" >>"$logs/$lib.log" 2>&1; then
    echo "$me: $lib: '$*' failed; the end of $logs/$lib.log:" >&2
    tail -n 40 "$logs/$lib.log" >&2
    exit 1
  fi
}

