#!/bin/bash
# Installs what the build and the tests need on Debian 12 (as root), or
# prints the exact command to run when it cannot.
set -euo pipefail

packages=(cmake ninja-build g++ googletest zlib1g-dev clang libclang-rt-14-dev
          g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 libz-mingw-w64-dev
          wine wine32:i386 xvfb xauth imagemagick zip unzip locales)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run as root:" >&2
    echo "  dpkg --add-architecture i386 && apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >/dev/null
  apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi

# Where 32-bit Linux programs cannot run, Wine's 32-bit loader runs under
# qemu's user-mode emulation, which must be qemu 10 (Debian 12 backports):
# qemu 7 takes minutes where qemu 10 takes a second.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1 && ! /usr/bin/qemu-i386 --version 2>/dev/null | grep -q 'version 1[0-9]'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "32-bit programs do not run here. Run as root: scripts/deps.sh" >&2
    exit 1
  fi
  echo "Installing qemu-user from bookworm-backports"
  cat > /etc/apt/sources.list.d/bookworm-backports.sources <<'SRC'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >/dev/null
  apt-get install -y -q --no-install-recommends -t bookworm-backports qemu-user >/dev/null
fi

# The double-byte tests run Wine in code page 932; its file names need the
# locale itself, not only its name.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing locale ja_JP.UTF-8. Run as root: echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen && locale-gen" >&2
    exit 1
  fi
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
