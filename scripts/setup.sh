#!/usr/bin/env bash
# Installs the Debian 12 packages the suite needs to build, test and run, when any is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsqlite3-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev fonts-ipafont-gothic
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
