#!/usr/bin/env bash
# Fails when a file of src/, tools/, bench/ or fuzz/ includes a header of a layer
# above its own, or when a Qt-free layer includes Qt (docs/architecture.md).
#
#   scripts/check-layers.sh [SOURCE_DIR]
#
# Each layer is a folder of src/; a file may include the headers of its own layer
# and of the layers it builds on, listed below. The build enforces the same through
# each library's include root; this check also covers headers that a library could
# reach through what it links, and names the offending line.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# layer: the layers it may include (besides itself).
declare -A uses=(
  [core]=""
  [geo]="core"
  [astro]="core"
  [render]="core geo astro"
  [render/qt]="core geo astro render"
  [cityinfo]="core geo astro render"
  [net]="core geo astro render"
  [config]="core geo astro render net"
  [i18n]="core geo net config"
  [ui]="core config"
  [desktop]="core geo net config i18n ui"
  [desktop/wallpaper]="core geo astro render"
  [dialogs]="core geo astro render render/qt cityinfo net config i18n ui desktop desktop/wallpaper"
  [app/cli]="core geo astro render cityinfo desktop/wallpaper"
  [app/wallpaper]="core geo astro render render/qt cityinfo net config i18n ui desktop desktop/wallpaper app/cli"
  [app/startup]="core geo astro render render/qt cityinfo net config i18n ui desktop desktop/wallpaper app/cli"
  [app/mainwindow]="core geo astro render render/qt cityinfo net config i18n ui desktop desktop/wallpaper dialogs app/cli app/wallpaper app/startup"
  [window]="core geo astro render render/qt cityinfo net config i18n ui desktop desktop/wallpaper dialogs app/cli app/wallpaper app/startup app/mainwindow"
  [main]="core geo astro render cityinfo desktop/wallpaper app/cli app/startup"
  [tools]="core geo astro render render/qt cityinfo net config i18n ui"
)
# Layers that must build without Qt.
qt_free=" core geo astro render "
# Layers that must not use Qt Widgets.
no_widgets=" core geo astro render render/qt cityinfo net config i18n desktop/wallpaper "

# The layer of a project header path ("render/qt/x.h" -> render/qt).
header_layer() {
  case "$1" in
    render/qt/*) echo render/qt ;;
    desktop/wallpaper/*) echo desktop/wallpaper ;;
    app/*/*) echo "${1%/*}" | cut -d/ -f1-2 ;;
    dialogs/*) echo dialogs ;;
    */*) echo "${1%%/*}" ;;
    *) echo "" ;;
  esac
}

# The layer of a source file.
file_layer() {
  case "$1" in
    src/main.cpp) echo main ;;
    # The window program sits above the main window it opens.
    src/app/startup/program.* | src/app/startup/window_module.cpp) echo window ;;
    src/render/qt/*) echo render/qt ;;
    src/desktop/wallpaper/*) echo desktop/wallpaper ;;
    src/app/*/*) echo "$1" | cut -d/ -f2-3 ;;
    src/dialogs/*) echo dialogs ;;
    src/*/*) echo "$1" | cut -d/ -f2 ;;
    tools/*) echo tools ;;
    # The window's benchmarks measure the window's own painting.
    bench/app/mainwindow/*) echo window ;;
    bench/* | fuzz/*) echo tools ;;
    *) echo "" ;;
  esac
}

status=0
fail() {
  echo "layers: $1" >&2
  status=1
}

while IFS= read -r file; do
  layer=$(file_layer "$file")
  [ -n "$layer" ] || continue
  allowed=" $layer ${uses[$layer]-} "
  while IFS=: read -r line text; do
    header=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]\([^>"]*\)[>"].*/\1/p' <<<"$text")
    [ -n "$header" ] || continue
    if [[ "$text" == *'<'* ]]; then
      # A system header: Qt where the layer must not have it.
      if [[ "$header" =~ ^Q[A-Za-z]*$ || "$header" == Qt*/* ]]; then
        if [[ "$qt_free" == *" $layer "* ]]; then
          fail "$file:$line: the Qt-free layer $layer includes <$header>"
        elif [[ "$no_widgets" == *" $layer "* ]] && [[ "$header" == QtWidgets/* ||
          "$header" =~ ^Q(Widget|MainWindow|Dialog|MessageBox|Menu|MenuBar|ToolBar|StatusBar|Application|Action|PushButton|Label|LineEdit|ComboBox|TreeView|ListView|TreeWidget|SystemTrayIcon|AbstractButton|Layout|BoxLayout|HBoxLayout|VBoxLayout|GridLayout|FormLayout|HeaderView|Splitter|StackedWidget|CheckBox|RadioButton|SpinBox|GroupBox|DialogButtonBox|ToolButton|Frame|ScrollArea)$ ]]; then
          fail "$file:$line: the layer $layer may not use Qt Widgets (<$header>)"
        fi
      fi
      continue
    fi
    target=$(header_layer "$header")
    # Headers beside the file ("demo.h") and the tests' own are no layer.
    [ -n "$target" ] && [ -e "src/$header" ] || continue
    if [[ "$allowed" != *" $target "* ]]; then
      fail "$file:$line: the layer $layer includes \"$header\" of the layer $target above it"
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(git ls-files -co --exclude-standard 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' \
  'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' 2>/dev/null ||
  find src tools bench fuzz -name '*.cpp' -o -name '*.h')

if [ "$status" -eq 0 ]; then
  echo "layers: every include points down"
fi
exit "$status"
