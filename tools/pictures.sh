#!/usr/bin/env bash
# Regenerates the pictures in docs/ with the snapshot tool, building it first when needed.
# The build directory is build/ unless BUILD_DIR names another one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" --target snapshot pendel-snapshot >/dev/null
tool=$build/tools/snapshot/snapshot
docs=$root/docs
mkdir -p "$docs"

# Kepler orbit with the default start values: Start, three virtual seconds of steps, Stop.
"$tool" Umlaufbahnen "$docs/umlaufbahnen.png" - <<'EOF'
100  click 245 230    # Simulation Start
3100 click 245 260    # Simulation Stop
3400 close
EOF

# All nine planets: choose the second list entry, let them move for four seconds, Stop.
"$tool" Planetensystem "$docs/planetensystem.png" - <<'EOF'
100  click 100 84     # Alle Planeten (Merkur bis Pluto)
4100 click 100 120    # Simulation Stop
4400 close
EOF

# The plot example draws once; the picture is taken at the close request.
"$tool" plots "$docs/plots.png" - <<'EOF'
200 close
EOF

# The widget gallery after a few clicks: a check box, a radio button, a list row, the slider.
if [ -x "$build/tools/snapshot/snapshot_gallery" ]; then
  "$tool" gallery "$docs/gallery.png" - <<'EOF'
100  click 30 136     # Grid
300  click 210 196    # Large
500  click 400 72     # Item 3
700  click 720 44     # track bar
1000 close
EOF
fi

# Pendel through its own picture tool: 120 degrees, damping 0.30 1/s, twelve seconds of the run.
"$build/examples/pendel/pendel-snapshot" "$docs/pendel.png" - <<'EOF'
100   click 134 72    # Anfangswinkel: 120 Grad
200   click 75 124    # Daempfung k: 0.30 1/s
300   click 80 158    # Simulation Start
12400 close
EOF

echo "pictures written to $docs"
