# Wine settings shared by the session and the scenario runner (sourced).

export WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="

# Some machines run no 32-bit Linux programs (their kernel or hypervisor
# refuses 32-bit code); Wine's 32-bit loader then runs under qemu's user-mode
# emulation (qemu 10 or later: older ones are many times slower for Wine),
# registered for 32-bit x86 programs.
fd_enable_i386() {
  local entry=/proc/sys/fs/binfmt_misc/qemu-i386
  # Natively, where the kernel runs them.
  if [ ! -e $entry ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then return 0; fi
  [ -x /usr/bin/qemu-i386 ] || { echo "32-bit programs cannot run here: run scripts/deps.sh" >&2; return 1; }
  [ -e /proc/sys/fs/binfmt_misc/register ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  if ! grep -qx 'interpreter /usr/bin/qemu-i386' $entry 2>/dev/null; then
    [ -e $entry ] && echo -1 > $entry
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' \
      > /proc/sys/fs/binfmt_misc/register
  fi
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# A new prefix: a virtual desktop (no window manager needed, no 2 s wait at
# each window's close) and no crash dialog (a crash ends the program).
fd_make_prefix() {
  local prefix=$1
  fd_enable_i386
  WINEPREFIX=$prefix timeout 1800 wineboot -i </dev/null >/dev/null 2>&1
  WINEPREFIX=$prefix timeout 300 wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
  WINEPREFIX=$prefix timeout 300 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f </dev/null >/dev/null 2>&1
  WINEPREFIX=$prefix timeout 300 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
  WINEPREFIX=$prefix timeout 60 wineserver -k >/dev/null 2>&1 || true
}

# A persistent server, warmed up with its output sent away: the helper
# processes the first Wine program starts would otherwise hold the caller's
# pipes open.
fd_start_server() {
  local prefix=$1
  WINEPREFIX=$prefix wineserver -p
  WINEPREFIX=$prefix timeout 600 wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
