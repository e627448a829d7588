# Shared by ./run and ./test: install what is missing, configure and build.
# Debian packages the project needs to build, test and run.
VELMORA_PACKAGES=(
    cmake g++ make pkg-config
    libgtest-dev libbenchmark-dev
    libsdl2-dev libsdl2-gfx-dev
    libfreetype-dev libfontconfig-dev fonts-dejavu-core libx11-dev libxext-dev xvfb xdotool imagemagick
    libjpeg62-turbo-dev
    libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0
)

# Installs the packages that are not installed yet; as non-root prints the exact command instead.
ensure_packages() {
    local missing=()
    for p in "${VELMORA_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages. Run as root:" >&2
        echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
        return 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q || return 1
    apt-get install -y -q --no-install-recommends "${missing[@]}" || return 1
}

# configure_and_build BUILD_DIR [cmake options...]
configure_and_build() {
    local dir=$1; shift
    cmake -S "$VELMORA_ROOT" -B "$dir" "$@" || return 1
    cmake --build "$dir" -j2
}
