# Debian packages the game and its tests need, and a helper that installs
# only the missing ones. Sourced by ./run-tests and ./play.
#
#   cmake ninja-build g++        the build
#   libgtest-dev                 unit tests (GoogleTest)
#   libbenchmark-dev             bench/ (Google Benchmark)
#   qt6-base-dev                 the game window and its Qt tests
#   fonts-ipafont-gothic/mincho  Japanese text: status sheet and dialogs
#   xvfb xauth                   running the real window without a display
#   imagemagick                  the window smoke test grabs the screen with `import`
#   clang libclang-rt-14-dev     the libFuzzer targets under fuzz/
#   libpng-dev                   the icons and pictures written as PNG (src/field/Png.cpp)
#   libwebp-dev                  battles as animated WebP (src/field/Animation.cpp); its tests read them back
#   scdoc                        the man pages (man/*.scd) turned into roff
#   desktop-file-utils           the install check validates the desktop entry
#   appstream                    the install check validates the AppStream metadata
#   groff-base man-db            the install check renders the man pages
#   python3                      the manual's example test (tests/docs)
KIVORA_PACKAGES="cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev qt6-base-dev \
fonts-ipafont-gothic fonts-ipafont-mincho xvfb xauth imagemagick clang libclang-rt-14-dev \
libpng-dev libwebp-dev scdoc desktop-file-utils appstream groff-base man-db python3"

# Only for scripts/build-deb.sh:
#   dpkg-dev                     dpkg-shlibdeps (the package's dependencies) and dpkg-buildflags
#   lintian                      checks the package
KIVORA_PACKAGE_TOOLS="dpkg-dev lintian"

kivora_install_missing() {
  local missing=() p
  for p in $KIVORA_PACKAGES "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing Debian packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq || return 1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" || return 1
}
