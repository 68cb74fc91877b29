# Waits that cannot stand still, for the test command and the scripts it runs
# (sourced, POSIX sh).
# Each gives up after its bound and fails naming what it waited for.

fail() {
    echo "FAILED: $*"
    exit 1
}

# bounded SECONDS WHAT COMMAND...: runs COMMAND, killing it and all it started
# once it has run SECONDS; fails naming WHAT when it runs past that or fails.
bounded() {
    limit=$1 what=$2
    shift 2
    status=0
    timeout --kill-after=10 "$limit" "$@" || status=$?
    case $status in
    0) ;;
    124 | 137) fail "$what ran past its bound of $limit s" ;;
    *) fail "$what ended with status $status" ;;
    esac
}

# waitFor SECONDS WHAT CONDITION...: polls CONDITION until it holds; fails
# naming WHAT once SECONDS have passed without it.
waitFor() {
    limit=$1 what=$2
    shift 2
    end=$(($(date +%s) + limit))
    until "$@"; do
        [ "$(date +%s)" -lt "$end" ] || fail "waited $limit s for $what"
        sleep 0.05
    done
}

# Whether process $1 has ended (or is a zombie waiting to be reaped).
ended() {
    ! kill -0 "$1" 2>/dev/null || [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" = Z ]
}
