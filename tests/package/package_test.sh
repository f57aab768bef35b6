#!/usr/bin/env bash
# The Debian package as a user gets it, in three steps that share WORK:
#   build   makes the package with CPack, unpacks it into WORK/root and
#           checks its fields and files against the staged program folder;
#   check   runs the unpacked morvane-render and one installed under
#           another prefix, validates the desktop entry, the design file
#           type and the metainfo, and runs lintian;
#   window  starts the unpacked morvane on Xvfb and compares its main
#           window with the staged program's (WORK/kavelo-main.png is the
#           screenshot the metainfo publishes).
# Usage: package_test.sh STEP BUILD_DIR SOURCE_DIR WORK VERSION
set -euo pipefail
step="$1"
build="$(realpath "$2")"
source="$(realpath "$3")"
work="$(realpath -m "$4")"
version="$5"
root="$work/root"
stage="$build/stage"
app_id=org.morvane.Kavelo
mime_type=application/x-kavelo-design

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_file() { [ -f "$root/$1" ] || fail "the package has no $1"; }
# The value of KEY= in a desktop entry.
entry_value() { sed -n "s/^$2=//p" "$1"; }

# Every program run gets its own home: the program keeps settings there.
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home"

build_step() {
  rm -rf "$work"
  mkdir -p "$work"
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack could not make the package"; }
  local arch deb
  arch="$(dpkg --print-architecture)"
  deb="$work/cpack/morvane_${version}_${arch}.deb"
  [ -f "$deb" ] || fail "no morvane_${version}_${arch}.deb: $(ls "$work/cpack")"
  mv "$deb" "$work/morvane.deb"
  rm -rf "$work/cpack"
  dpkg-deb -x "$work/morvane.deb" "$root"

  local field
  [ "$(dpkg-deb -f "$work/morvane.deb" Package)" = morvane ] || fail "package name"
  [ "$(dpkg-deb -f "$work/morvane.deb" Version)" = "$version" ] || fail "package version"
  [ "$(dpkg-deb -f "$work/morvane.deb" Section)" = graphics ] || fail "section"
  field="$(dpkg-deb -f "$work/morvane.deb" Depends)"
  for dependency in libqt6widgets6 libqt6printsupport6 libjpeg62-turbo libpng16-16 libtiff6 \
    libuemf0 fonts-dejavu-core fonts-liberation2; do
    [[ ", $field," == *", $dependency"[\ ,]* ]] || fail "Depends lacks $dependency: $field"
  done

  for program in morvane morvane-render; do
    expect_file "usr/bin/$program"
    [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program is not executable"
    ! readelf -S "$root/usr/bin/$program" | grep -q '\.symtab' ||
      fail "usr/bin/$program is not stripped"
    expect_file "usr/share/man/man1/$program.1.gz"
  done
  # The program folder holds exactly the staged resources, without the
  # resource builder's marker.
  diff -r --exclude=.morvane-resources "$stage/res" "$root/usr/share/morvane/res" >/dev/null ||
    fail "usr/share/morvane/res differs from the staged res/"
  [ ! -e "$root/usr/share/morvane/res/.morvane-resources" ] || fail "the builder's marker is packaged"
  [ "$(ls "$root/usr/share/morvane")" = res ] || fail "usr/share/morvane holds more than res/"
  [ "$(ls "$root/usr")" = "$(printf 'bin\nshare')" ] || fail "files outside usr/bin and usr/share"
  expect_file "usr/share/applications/$app_id.desktop"
  expect_file "usr/share/metainfo/$app_id.metainfo.xml"
  expect_file usr/share/mime/packages/morvane.xml
  expect_file usr/share/doc/morvane/copyright
  expect_file usr/share/doc/morvane/changelog.gz
  for side in 16 24 32 48 64 128 256; do
    for icon in apps/morvane mimetypes/application-x-kavelo-design; do
      local png="usr/share/icons/hicolor/${side}x$side/$icon.png"
      expect_file "$png"
      [ "$(identify -format '%wx%h' "$root/$png")" = "${side}x$side" ] || fail "$png size"
    done
  done
  echo "package: $(du -h "$work/morvane.deb" | cut -f1), fields and files as expected"
}

# Runs a renderer from a folder of its own; its status and standard error
# go to "$out.status" and "$out.err".
render() {
  local renderer="$1" design="$2" out="$3" folder
  folder="$(mktemp -d)"
  (cd "$folder" && "$renderer" "$design" "$out" 2>"$out.err"; echo $? >"$out.status") || true
  rm -rf "$folder"
}

check_renderer() {
  local template="$root/usr/share/morvane/res/Tmplts/Awards/Certificate-achievement.prt"
  local out="$work/render"
  rm -rf "$out"
  mkdir -p "$out"
  # A bundled template: 1000 pixels wide, the same bytes as the staged
  # renderer writes.
  render "$root/usr/bin/morvane-render" "$template" "$out/installed.bmp"
  render "$stage/morvane-render" "$template" "$out/staged.bmp"
  [ "$(cat "$out/installed.bmp.status")" = 0 ] ||
    fail "morvane-render on a template: $(cat "$out/installed.bmp.err")"
  [ "$(od -An -tu4 -j18 -N4 "$out/installed.bmp" | tr -d ' ')" = 1000 ] ||
    fail "the rendered template is not 1000 pixels wide"
  cmp -s "$out/installed.bmp" "$out/staged.bmp" || fail "the installed renderer draws differently"

  # The same template with the lion's picture gone: reported, left out.
  sed 's/\\ilion\.bmp$/\\inothere.bmp/' "$template" >"$out/missing.prt"
  grep -q 'inothere' "$out/missing.prt" || fail "the template names no lion"
  render "$root/usr/bin/morvane-render" "$out/missing.prt" "$out/missing.bmp"
  render "$stage/morvane-render" "$out/missing.prt" "$out/missing-staged.bmp"
  [ "$(cat "$out/missing.bmp.status")" = 0 ] || fail "a missing picture ended the render"
  printf '%s\n' "morvane-render: Kan het bestand niet vinden.." \
    "steek de CD-ROM in de drive of zoek manueel naar:" \
    ' res\Data\animals\inothere.bmp' >"$out/expected.err"
  head -3 "$out/missing.bmp.err" | cmp -s - "$out/expected.err" ||
    fail "the missing picture was reported as: $(cat "$out/missing.bmp.err")"
  cmp -s "$out/missing.bmp" "$out/missing-staged.bmp" ||
    fail "the installed renderer leaves a missing picture out differently"
  ! cmp -s "$out/missing.bmp" "$out/installed.bmp" || fail "the missing picture was drawn"
  echo "renderer: template and missing picture as the staged renderer"
}

check_desktop_files() {
  local entry="$root/usr/share/applications/$app_id.desktop"
  desktop-file-validate "$entry" || fail "desktop-file-validate"
  [ "$(entry_value "$entry" Exec)" = "/usr/bin/morvane %f" ] || fail "Exec: $(entry_value "$entry" Exec)"
  [ "$(entry_value "$entry" MimeType)" = "$mime_type;" ] || fail "MimeType"
  expect_file "usr/share/icons/hicolor/48x48/apps/$(entry_value "$entry" Icon).png"

  # The design file type, compiled as the system does it, and the entry
  # registered as the program that opens it.
  local data="$work/xdg"
  rm -rf "$data"
  mkdir -p "$data/mime/packages"
  cp "$root/usr/share/mime/packages/morvane.xml" "$data/mime/packages/"
  XDG_DATA_DIRS="$data" update-mime-database "$data/mime" 2>"$work/mime.err" >/dev/null
  [ ! -s "$work/mime.err" ] || fail "update-mime-database: $(cat "$work/mime.err")"
  grep -qx "50:$mime_type:\*\.prt" "$data/mime/globs2" || fail "no *.prt glob"
  grep -qx "$mime_type text/plain" "$data/mime/subclasses" || fail "not a kind of text"
  cp -r "$root/usr/share/applications" "$data/"
  update-desktop-database "$data/applications"
  grep -qx "$mime_type=$app_id.desktop;" "$data/applications/mimeinfo.cache" ||
    fail "the desktop entry is not registered for $mime_type"

  local metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
  grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release"
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop<" "$metainfo" || fail "launchable"
  echo "desktop entry, design file type and metainfo valid"
}

# `cmake --install --prefix DIR` gives a program that runs from DIR and an
# entry that starts it there.
check_relocated() {
  local prefix="$work/prefix" template="Tmplts/Awards/Certificate-achievement.prt"
  rm -rf "$prefix"
  cmake --install "$build" --prefix "$prefix" >/dev/null
  [ "$(entry_value "$prefix/share/applications/$app_id.desktop" Exec)" = "$prefix/bin/morvane %f" ] ||
    fail "the relocated entry starts $(entry_value "$prefix/share/applications/$app_id.desktop" Exec)"
  render "$prefix/bin/morvane-render" "$prefix/share/morvane/res/$template" "$work/render/relocated.bmp"
  [ "$(cat "$work/render/relocated.bmp.status")" = 0 ] ||
    fail "the relocated renderer: $(cat "$work/render/relocated.bmp.err")"
  cmp -s "$work/render/relocated.bmp" "$work/render/staged.bmp" ||
    fail "the relocated renderer draws differently"
  rm -rf "$prefix"
  echo "relocated install: runs from $prefix"
}

check_step() {
  [ -d "$root" ] || fail "no unpacked package in $root"
  check_renderer
  check_relocated
  check_desktop_files
  lintian --fail-on error,warning --display-info "$work/morvane.deb" ||
    fail "lintian reports errors or warnings"
  echo "lintian: no errors, no warnings"
}

window_step() {
  [ -d "$root" ] || fail "no unpacked package in $root"
  bash "$source/tools/screenshot.sh" "$root/usr/bin/morvane" "$work/kavelo-main.png"
  bash "$source/tools/screenshot.sh" "$stage/morvane" "$work/staged-main.png"
  local changed
  changed="$(compare -metric AE "$work/kavelo-main.png" "$work/staged-main.png" null: 2>&1 || true)"
  [ "$changed" = 0 ] || fail "the installed main window differs from the staged one in $changed pixels"
  echo "main window: the installed program shows what the staged one shows"
}

case "$step" in
build) build_step ;;
check) check_step ;;
window) window_step ;;
*) fail "unknown step $step" ;;
esac
