#!/usr/bin/env bash
# Installs the named Debian packages that are missing (as root, or through sudo; otherwise
# says which to install and fails). Shared by setup.sh and build_web.sh.
set -euo pipefail

missing=()
for pkg in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then
    as_root=()
  elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    as_root=(sudo -n)
  elif command -v sudo >/dev/null 2>&1 && [ -t 0 ]; then
    as_root=(sudo)
  else
    echo "setup: these Debian packages are missing: ${missing[*]}" >&2
    echo "setup: install them as root (apt-get install ${missing[*]}) or run this script with sudo rights." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
