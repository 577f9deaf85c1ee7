#!/usr/bin/env bash
# The Debian package as tools/make-deb.sh makes it: its fields and files, lintian's verdict,
# and the packaged program, manual page and report run from an unpacked copy in another
# directory with the build tree hidden. Nothing is installed on this machine.
#
#   deb_test.sh SOURCE_DIR BUILD_DIR     BUILD_DIR: a Release build to reuse (or make)
set -uo pipefail
source_dir=$(readlink -f "$1")
build_dir=$(realpath -m -- "$2")
work=$(mktemp -d /tmp/zarvo-deb-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for tool in dpkg-deb lintian man lexgrog gnuplot; do
    command -v "$tool" >/dev/null || {
        echo "deb_test: $tool not found: run tools/install-deps.sh test" >&2
        exit 1
    }
done

(cd "$work" && timeout 1200 "$source_dir/tools/make-deb.sh" "$build_dir") >"$work/make.log" 2>&1 || {
    tail -20 "$work/make.log" >&2
    echo "FAIL: tools/make-deb.sh failed" >&2
    exit 1
}
package=$(tail -1 "$work/make.log")
[ -f "$package" ] && [ "$(dirname "$package")" = "$work" ] ||
    { echo "FAIL: make-deb.sh did not leave the package in the current directory" >&2; exit 1; }

# Fields: a wrong name or architecture would not install; no computed library dependencies
# would install a program that cannot start.
info=$(dpkg-deb -f "$package" Package Architecture Depends Maintainer)
grep -qx 'Package: zarvo' <<<"$info" || fail "package name: $info"
grep -qx "Architecture: $(dpkg --print-architecture)" <<<"$info" || fail "architecture: $info"
depends=$(dpkg-deb -f "$package" Depends)
for wanted in libc6 libx11-6 libxft2 python3; do
    grep -q "\b$wanted\b" <<<"$depends" || fail "Depends lacks $wanted: $depends"
done

# Files: each one the package promises, where Debian looks for it, owned by root.
contents=$(dpkg-deb -c "$package")
for path in ./usr/bin/zarvo ./usr/bin/zarvo-report ./usr/share/man/man1/zarvo.1.gz \
    ./usr/share/man/man1/zarvo-report.1.gz ./usr/share/doc/zarvo/README.md \
    ./usr/share/doc/zarvo/copyright ./usr/share/doc/zarvo/changelog.gz \
    ./usr/share/doc/zarvo/examples/zarvo.service ./usr/share/doc/zarvo/examples/zarvo.timer; do
    grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
done
grep -E '^-rwxr-xr-x root/root .* \./usr/bin/zarvo$' <<<"$contents" >/dev/null ||
    fail "/usr/bin/zarvo is not an executable owned by root: $(grep ' ./usr/bin/zarvo$' <<<"$contents")"
grep -v ' ./usr/' <<<"$contents" | grep -v ' \./$' && fail "files outside /usr (above)"

# Lintian: any error (an unstripped binary, a missing copyright, a bad man page) fails.
lintian --fail-on error "$package" >"$work/lintian.log" 2>&1 ||
    fail "lintian reports errors: $(grep -E '^E:' "$work/lintian.log" | head -10)"

# The unpacked program, from a directory of its own, with the build tree out of sight: a
# resource loaded from the build tree or the source instead of the binary fails here.
dpkg-deb -x "$package" "$work/root" || fail "dpkg-deb -x failed"
zarvo="$work/root/usr/bin/zarvo"
mkdir -p "$work/run" "$work/share"
if unshare -m true 2>/dev/null; then
    # The build tree first: it may lie inside the source tree.
    hidden() {
        unshare -m bash -c 'mount -t tmpfs none "$1" && mount -t tmpfs none "$2" && cd "$0" &&
            shift 2 && exec "$@"' "$work/run" "$build_dir" "$source_dir" "$@"
    }
else
    echo "deb_test: no mount namespace here; the build tree stays visible" >&2
    hidden() { (cd "$work/run" && exec "$@"); }
fi
help=$(LANG=C.UTF-8 hidden "$zarvo" --help 2>&1) || fail "zarvo --help ended with $?: $help"
grep -q 'Использование: zarvo' <<<"$help" || fail "zarvo --help printed no usage: $help"
LANG=C.UTF-8 hidden timeout 60 "$zarvo" --no-ui --dir "$work/share" --size 1 --work-time 00:00:01 \
    --period 00:00:00 >"$work/no_ui.out" 2>"$work/no_ui.err"
status=$?
[ $status -eq 0 ] || fail "the packaged zarvo --no-ui ended with $status: $(tail -3 "$work/no_ui.err")"
grep -q 'Размер файла 1 Мб' <(iconv -f CP866 -t UTF-8 "$work/run/protocol.doc" 2>/dev/null) ||
    fail "the packaged zarvo wrote no protocol entry in its working directory"
[ -z "$(ls -A "$work/share")" ] || fail "the run left files in the share: $(ls -A "$work/share")"

# The manual page: renders without groff warnings, in Russian, with a name whatis can index.
page="$work/root/usr/share/man/man1/zarvo.1.gz"
rendered=$(LANG=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>"$work/man.err")
[ -s "$work/man.err" ] && fail "man warns: $(head -3 "$work/man.err")"
for heading in ПАРАМЕТРЫ 'КОД ЗАВЕРШЕНИЯ' ФАЙЛЫ ИСТОРИЯ ПРИМЕРЫ --work-time zarvo.timer \
    longest_stall_s; do
    grep -qF -- "$heading" <<<"$rendered" || fail "the manual page lacks $heading"
done
lexgrog "$page" | grep -q 'zarvo - ' || fail "whatis cannot index the page: $(lexgrog "$page")"

# The packaged report runs from the unpacked copy too.
printf '%s\n' \
    'start_time,host,write_seconds,read_seconds,write_mb_s,read_mb_s,error_bytes,longest_stall_s' \
    '2026-12-11T03:04:05+03:00,ws1,1.000,1.000,10.00,11.00,0,0.0' >"$work/history.csv"
hidden "$work/root/usr/bin/zarvo-report" "$work/history.csv" "$work/report.svg" ||
    fail "the packaged zarvo-report failed"
[ -s "$work/report.svg" ] || fail "the packaged zarvo-report drew nothing"

[ $failures -eq 0 ] && echo "package: all checks passed"
exit $failures
