#!/usr/bin/env bash
# Makes i386 Linux programs (Wine's 32-bit loader) runnable. Where the kernel
# runs them itself nothing is done; elsewhere they are handed to qemu-i386
# through binfmt_misc. The registration lasts until the machine restarts.
set -euo pipefail

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  exit 0
fi
qemu=$(command -v qemu-i386 || command -v qemu-i386-static || true)
if [ -z "$qemu" ]; then
  echo "i386 programs do not run here and qemu-i386 is missing: run tools/install-deps.sh" >&2
  exit 1
fi
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
misc=/proc/sys/fs/binfmt_misc
[ -e "$misc/register" ] || "${as_root[@]}" mount -t binfmt_misc binfmt_misc "$misc"
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
for kind in 02:exec 03:dyn; do
  type=${kind%%:*}
  name=stats-i386-${kind#*:}
  [ -e "$misc/$name" ] && echo -1 | "${as_root[@]}" tee "$misc/$name" >/dev/null
  printf ':%s:M::%s\\x%s\\x00\\x03\\x00:%s:%s:F\n' "$name" "$magic" "$type" "$mask" "$qemu" |
    "${as_root[@]}" tee "$misc/register" >/dev/null
done
/usr/lib/wine/wine --version >/dev/null
