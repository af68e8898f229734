#!/usr/bin/env bash
# Installs the Debian packages Zonesmith needs when any is missing, then
# configures and builds everything into build/. Safe to run again. Warnings
# are errors only when ZS_WERROR=ON is in the environment (.ci/run sets it).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/tools/packages.sh"

need_packages \
    cmake ninja-build g++ pkg-config \
    libgtest-dev libgmock-dev libbenchmark-dev \
    qt6-base-dev zlib1g-dev \
    fonts-dejavu-core

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZS_WERROR="${ZS_WERROR:-OFF}" >/dev/null
cmake --build "$root/build" -j "$(nproc)"
