# Checks shared by the shell tests; sourced, not run.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# expect_code CODE COMMAND...: the command ends with CODE and, when it fails, says why on stderr.
expect_code() {
    local want=$1
    shift
    local errors
    errors=$("$@" 2>&1 >/dev/null)
    local got=$?
    [ "$got" -eq "$want" ] || fail "'$*' ended with $got, not $want"
    [ "$want" -eq 0 ] || [ -n "$errors" ] || fail "'$*' failed without a message"
}
