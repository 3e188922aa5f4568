#!/usr/bin/env bash
# Runs the README's tool examples exactly as written, so that they cannot rot:
# every indented line that starts with `scripts/kv kv...` (with its `\`
# continuation lines) or `echo `, from a folder that looks like the checkout with `build`
# pointing at this build's root. A kvpost example gets a server on
# 127.0.0.1:8080 that answers any form with a small XML reply.
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

failed=0
cd "$work"
while IFS= read -r command; do
  echo "\$ $command"
  if ! timeout 300 bash -c "$command" </dev/null; then
    echo "run_examples.sh: FAILED: $command" >&2
    failed=1
  fi
done <"$work/examples.sh"
exit $failed
