# Installs the Debian packages that building, running and testing need,
# when any of them is missing. Sourced by scripts/run, scripts/test and
# scripts/format.

vantel_packages=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libx11-dev libxext-dev libxrandr-dev qt6-base-dev qt6-base-dev-tools
  # our own Wayland presentation: the client library and xdg-shell's code made at build time
  libwayland-dev libwayland-bin wayland-protocols
  # the one Debian package that ships wlr-layer-shell's protocol description
  librust-wayland-protocols-dev
  # the tool's English translation: lupdate, lrelease and their CMake
  # functions; Qt's own translations, so its dialogs speak the tool's language
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libgtest-dev libgmock-dev
  # the tool's bound on what a PNG's pixels inflate to
  zlib1g-dev
  # openbox: the end-to-end test of the tool's tips under a window manager
  openbox
  xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick xclip
  # the Japanese captions (the C locale's and Japanese locales' language)
  fonts-noto-cjk
  # the end-to-end tests of hosting and installation
  xscreensaver desktop-file-utils libxml2-utils man-db appstream
  # dbus-launch, without which a session bus autolaunched by mistake would not show
  dbus-x11
  # the end-to-end test on a Wayland compositor without X
  sway grim wtype
  # the end-to-end tests on desktops with a window manager, and through
  # XWayland under sway
  openbox i3-wm fluxbox icewm xfwm4 xwayland swaybg
)

# ensure_packages [PACKAGE...]: the packages named, or else all of the above.
ensure_packages() {
  local wanted=("$@")
  [ ${#wanted[@]} -eq 0 ] && wanted=("${vantel_packages[@]}")
  local missing=()
  local package
  for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  # Another install may hold dpkg's lock for a while: wait for it rather than fail.
  local wait_lock=(-o DPkg::Lock::Timeout=900)
  $sudo apt-get "${wait_lock[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get "${wait_lock[@]}" install -y -qq "${missing[@]}" >/dev/null
}
