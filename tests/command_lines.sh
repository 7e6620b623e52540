#!/bin/sh
# Every program answers --help and --version in Italian, and refuses an
# unknown option, an argument it does not take or an option without its
# value, naming it and pointing to --help, with status 2. Run from the build
# folder's program directory.
set -u
fail=0
for program in quilo quilo-check quilo-sim quilo-export quilo-studio quilo-pack; do
    ./$program --help | head -1 | grep -q "^uso: $program " || { echo "$program --help"; fail=1; }
    ./$program --version | grep -q "^$program [0-9]" || { echo "$program --version"; fail=1; }
    for args in "--bogus" "uno.txt due.txt" "uno.txt --root"; do
        # shellcheck disable=SC2086
        said=$(./$program $args 2>&1)
        status=$?
        case "$said" in
            *"; vedi $program --help"*) ;;
            *) echo "$program $args: $said"; fail=1 ;;
        esac
        [ "$status" -eq 2 ] || { echo "$program $args: status $status"; fail=1; }
    done
done
exit $fail
