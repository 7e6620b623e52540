#!/usr/bin/env bash
# Every command the script guide tells a reader to run, run as written on a
# fresh install: the programs installed under a new prefix, a new HOME whose
# ~/Quilo is the installed demo (what the first run makes), no CD drive. A
# command-line tool must exit as a finished check does (0, or 1 for a script
# with errors) and print what the guide quotes after it; a window program must
# still be running after a few seconds and say nothing but the notes a machine
# without a drive or a sound card gets. /usr/share in a command stands for
# the install's own share folder.
#
#   guide_examples.sh SOURCE_DIR BUILD_DIR
set -u
source_dir="$1"
build_dir="$2"
guide="$source_dir/docs/copione.md"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
export HOME="$work/home"
export QT_QPA_PLATFORM=offscreen
unset PULSE_SERVER PIPEWIRE_RUNTIME_DIR QUILO_AUDIO QUILO_VERBOSE
mkdir -p "$HOME"
cmake --install "$build_dir" --prefix "$prefix" >/dev/null || { echo "install failed"; exit 1; }
cp -r "$prefix/share/quilo/demo" "$HOME/Quilo"
export PATH="$prefix/bin:$PATH"

failures=0
ran=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The commands in the guide's order, each as "cmd<TAB>COMMAND" or, for the
# output the guide quotes after a marker, "out<TAB>COMMAND" and the quoted
# lines as "line<TAB>TEXT", ended by "end".
extract() {
  awk '
    /^```sh$/ { insh = 1; next }
    insh && /^```$/ { insh = 0; next }
    insh { if ($0 != "") print "cmd\t" $0; next }
    /^<!-- uscita di: .* -->$/ {
      c = $0; sub(/^<!-- uscita di: /, "", c); sub(/ -->$/, "", c)
      print "out\t" c; quoting = 1; next
    }
    quoting && /^```$/ { if (++fences == 2) { print "end"; quoting = 0; fences = 0 } ; next }
    quoting { print "line\t" $0; next }
    {
      line = $0
      while (match(line, /`quilo(-[a-z]+)? [^`]+`/)) {
        print "cmd\t" substr(line, RSTART + 1, RLENGTH - 2)
        line = substr(line, RSTART + RLENGTH)
      }
    }
  ' "$guide"
}

benign='^(quilo|quilo-studio): (Nessuna unità CD: suona il disco della demo|nessuna uscita audio disponibile; il disco scorre in silenzio|il telecomando non può usare la porta [0-9]+ \(è già in uso\).*)$'

run() {
  local command="$1"
  command="${command//\/usr\/share/$prefix/share}"
  command="${command//\~/$HOME}"
  ran=$((ran + 1))
  case "$command" in
    cd\ *)
      eval "$command" || fail "$1"
      ;;
    quilo-check* | quilo-sim* | quilo-export* | quilo-pack*)
      eval "$command" >"$work/stdout" 2>"$work/stderr"
      local status=$?
      [ "$status" -le 1 ] || fail "$1 (uscita $status: $(head -c 300 "$work/stderr"))"
      last="$1"
      ;;
    quilo* )
      # A script it names must be there: the window would only say so in a box.
      local word
      for word in $command; do
        case "$word" in *.txt | *.quilo) [ -f "$word" ] || fail "$1: $word does not exist" ;; esac
      done
      timeout 5 bash -c "$command" >"$work/stdout" 2>"$work/stderr"
      local status=$?
      [ "$status" -eq 124 ] || fail "$1 ended with $status: $(head -c 300 "$work/stderr")"
      if grep -vE "$benign" "$work/stderr" | grep -q .; then
        fail "$1 said: $(grep -vE "$benign" "$work/stderr" | head -3)"
      fi
      ;;
    *)
      fail "not a command the guide may give: $1"
      ;;
  esac
}

cd "$HOME"
last=""
expected=""
while IFS=$'\t' read -r kind text; do
  case "$kind" in
    cmd) run "$text" ;;
    out) quoted_for="$text"; expected="" ;;
    line) expected+="$text"$'\n' ;;
    end)
      if [ "$quoted_for" != "$last" ]; then
        fail "the guide quotes the output of '$quoted_for' after running '$last'"
      elif [ "$(cat "$work/stdout")"$'\n' != "$expected" ]; then
        fail "'$last' prints otherwise than the guide quotes:"
        diff <(printf '%s' "$expected") "$work/stdout" | head -10
      fi
      ;;
  esac
done < <(extract)

echo "$ran commands of the guide run, $failures failed"
[ "$ran" -ge 6 ] || { echo "too few commands found in the guide"; exit 1; }
[ "$failures" -eq 0 ]
