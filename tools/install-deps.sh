#!/usr/bin/env bash
# Installs the Debian packages Zarvo needs: "build" for building and running it, "package"
# for that plus making its Debian package (tools/make-deb.sh),
# "test" for that plus everything the tests drive (Xvfb, tmux, a real xterm, FUSE, an sshfs
# and an SMB share on a limited link, the package's build and checks, the report's plotter, a
# fleet run through Ansible).
set -euo pipefail

build_packages=(g++ cmake ninja-build pkg-config libx11-dev libxft-dev libfontconfig-dev
    libncurses-dev fonts-dejavu-core nlohmann-json3-dev)
# cpack finds the binary's libraries with file and dpkg-shlibdeps.
package_packages=(dpkg-dev file)
test_packages=(libgtest-dev libgmock-dev libbenchmark-dev clang-format tmux xterm xvfb xdotool
    x11-utils xclip python3 python3-fusepy fuse3 psmisc procps openssh-server sshfs iproute2
    samba smbnetfs cifs-utils lintian man-db gnuplot-nox ansible)

wanted=("${build_packages[@]}")
case ${1:-build} in
package) wanted+=("${package_packages[@]}") ;;
test) wanted+=("${package_packages[@]}" "${test_packages[@]}") ;;
esac

missing=()
for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Zarvo needs these Debian packages: ${missing[*]}" >&2
    echo "Install them as root (apt-get install ${missing[*]}) and run again." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# Installing a server package must not start its service (openssh-server and samba would start
# a system sshd and smbd where an init system runs); the tests start their own. An existing policy is kept.
policy=/usr/sbin/policy-rc.d
if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' >"$policy" && chmod 755 "$policy"
    trap 'rm -f "$policy"' EXIT
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
