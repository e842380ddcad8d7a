# Sourced by scripts/run and scripts/test: installs the Debian packages the
# build needs, and nothing when all of them are present.

# Every package the builds and tests use, from Debian.
BRASSEL_PACKAGES=(
    cmake ninja-build g++ pkg-config
    libsdl2-dev libsdl2-image-dev libfreetype-dev libfontconfig-dev fonts-liberation2
    googletest libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev
    xvfb xdotool imagemagick x11-utils libx11-dev
)

ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "Installing missing packages: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}
