# shellcheck shell=bash
# copy_foreign_dlls EXE DEST ROOT: copies into DEST the DLLs that EXE imports and that come with
# the toolchain or the Windows libraries' prefix under ROOT; the others are Windows' own. The
# build links statically, so normally there are none.
copy_foreign_dlls() {
  local exe=$1 dest=$2 root=$3 dll found
  for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p'); do
    found=$(find "$root/build/windows-deps/prefix/bin" /usr/lib/gcc/x86_64-w64-mingw32 \
      /usr/x86_64-w64-mingw32/lib -iname "$dll" 2>/dev/null | head -n 1)
    [ -n "$found" ] && cp "$found" "$dest/"
  done
  return 0
}
