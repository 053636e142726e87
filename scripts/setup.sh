#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent: when
# everything is present it only checks and returns.
set -euo pipefail

# Both architectures: the i686 compilers and wine32 for the 32-bit program,
# the x86_64 compilers and wine64 for the build that runs on every machine,
# also where the kernel cannot start 32-bit programs (there wine32 installs
# but does not run). The -win32 compilers build the programs we ship, the
# -posix ones the tests (cmake/mingw.cmake). clang, lld and cppcheck: the
# second compiler and the static checks (scripts/check.sh,
# cmake/clang-mingw.cmake).
packages=(cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 googletest
          wine wine32:i386 wine64
          xvfb xauth xdotool fonts-wine fonts-wqy-microhei locales imagemagick zip file
          clang lld cppcheck)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

need_locale=0
locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$' || need_locale=1

if [ ${#missing[@]} -eq 0 ] && [ $need_locale -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    SUDO=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    SUDO=(sudo -n)
else
    echo "setup: these packages are missing: ${missing[*]:-none}" >&2
    [ $need_locale -eq 1 ] && echo "setup: the zh_CN.UTF-8 locale is missing" >&2
    echo "setup: run 'sudo scripts/setup.sh' once (or install them as root), then try again." >&2
    exit 1
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${SUDO[@]}" dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${SUDO[@]}" apt-get update -qq
    "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
fi

if [ $need_locale -eq 1 ] || ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
    echo "setup: generating the zh_CN.UTF-8 locale"
    if [ -f /etc/locale.gen ] && ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen; then
        echo 'zh_CN.UTF-8 UTF-8' | "${SUDO[@]}" tee -a /etc/locale.gen >/dev/null
    fi
    "${SUDO[@]}" locale-gen >/dev/null
fi
