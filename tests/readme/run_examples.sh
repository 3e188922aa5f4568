#!/usr/bin/env bash
# Runs the README's tool examples exactly as written, so that they cannot rot:
# every indented line that starts with `scripts/kv kv...` (with its `\`
# continuation lines) or `echo `, from a folder that looks like the checkout with `build`
# pointing at this build's root. A kvpost example gets a server on
# 127.0.0.1:8080 that answers any form with a small XML reply. Then the
# README's own program (its CMakeLists.txt block and its app.cpp block) is
# built against an SDK installed from this build, and must start and print
# the configuration folder.
# Usage: run_examples.sh REPO_ROOT BUILD_ROOT
set -u
root=$1
build_root=$2
work=$(mktemp -d)
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

for entry in "$root"/* "$root"/.cache; do
  [ "$(basename "$entry")" = build ] || [ ! -e "$entry" ] || ln -s "$entry" "$work/"
done
ln -s "$build_root" "$work/build"

python3 - "$root/README.md" >"$work/examples.sh" <<'PY'
import re, sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
i = 0
while i < len(lines):
    line = lines[i]
    if re.match(r"^    (scripts/kv kv[a-z]+ |echo )", line):
        command = line[4:]
        while command.endswith("\\") and i + 1 < len(lines):
            i += 1
            command = command[:-1].rstrip() + " " + lines[i].strip()
        print(command.split("  #")[0].rstrip())
    i += 1
PY

# The indented blocks that open with these lines, as files of a project.
mkdir -p "$work/app"
python3 - "$root/README.md" "$work/app" <<'PY'
import os, sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
files = {"    cmake_minimum_required": "CMakeLists.txt", "    // app.cpp": "app.cpp"}
for i, line in enumerate(lines):
    name = next((f for start, f in files.items() if line.startswith(start)), None)
    if name is None:
        continue
    block = []
    for text in lines[i:]:
        if text and not text.startswith("    "):
            break
        block.append(text[4:])
    open(os.path.join(sys.argv[2], name), "w").write("\n".join(block).strip("\n") + "\n")
PY

if ! [ -s "$work/examples.sh" ]; then
  echo "run_examples.sh: the README holds no tool example" >&2
  exit 1
fi

if grep -q '127.0.0.1:8080' "$work/examples.sh"; then
  python3 - <<'PY' &
import http.server
class Reply(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length", 0)))
        body = b'<?xml version="1.0"?><reply><ok>1</ok></reply>'
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def log_message(self, *args):
        pass
http.server.HTTPServer(("127.0.0.1", 8080), Reply).serve_forever()
PY
  server_pid=$!
  for _ in $(seq 50); do
    (exec 3<>/dev/tcp/127.0.0.1/8080) 2>/dev/null && break
    sleep 0.1
  done
fi

# The README's program, built as its text says, against the installed SDK.
run_readme_program() {
  local sdk=$work/sdk build=$work/app-build output
  [ -s "$work/app/CMakeLists.txt" ] && [ -s "$work/app/app.cpp" ] || {
    echo "run_examples.sh: the README holds no CMakeLists.txt or app.cpp block" >&2
    return 1
  }
  cmake --install "$build_root/x86_64" --prefix "$sdk" >/dev/null &&
    cmake -S "$work/app" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$sdk/lib/cmake/Kelvane/toolchain.cmake" \
      -DCMAKE_PREFIX_PATH="$sdk" >/dev/null &&
    cmake --build "$build" >/dev/null || return 1
  output=$("$root/cmake/wine-run.sh" "${WINEPREFIX:-$build_root/x86_64/wineprefix}" \
    "$build/app.exe" </dev/null)
  echo "app.exe: $output"
  case $output in
    *'\common\config\Kelvane\'*) return 0 ;;
  esac
  echo "run_examples.sh: the README's app.exe did not print its configuration folder" >&2
  return 1
}

failed=0
echo "\$ (the README's CMakeLists.txt and app.cpp)"
run_readme_program || failed=1
# As the README says: every tool prints its usage on standard output for --help and exits 0.
for tool in kvskin kvpost kvhub kvdemo; do
  if ! usage=$("$root/scripts/kv" "$tool" --help 2>/dev/null </dev/null) || [[ $usage != usage:* ]]; then
    echo "run_examples.sh: FAILED: $tool --help (exit 0 and its usage on standard output)" >&2
    failed=1
  fi
done
cd "$work"
while IFS= read -r command; do
  echo "\$ $command"
  if ! timeout 300 bash -c "$command" </dev/null; then
    echo "run_examples.sh: FAILED: $command" >&2
    failed=1
  fi
done <"$work/examples.sh"
exit $failed
