# The timing of the bench scripts, sourced by them: one run of a command, the median of
# the runs, and the ratio of two times.

# Runs a command once, its output to $2.raw, and adds its wall time and processor time
# (user and system, its children included) to $2.times, both to the millisecond: the clock
# in nanoseconds, the shell's `times` for the processor. On a machine that others load
# too, the second is the steadier measure of the work itself.
time_once() {
  local cmd=$1 out=$2 start end cpu
  start=$(date +%s%N)
  # The second line of `times` is the children's user and system time, as 0m0.052s.
  cpu=$( { bash -c "$cmd" >"$out.raw" 2>/dev/null || true; times; } | sed -n 2p)
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000000 )) $cpu" |
    sed 's/\([0-9]*\)m\([0-9.]*\)s/\1 \2/g' |
    awk '{printf "%.3f %.3f\n", $1 / 1000, $2 * 60 + $3 + $4 * 60 + $5}' >>"$out.times"
}

# The median wall time and processor time of the runs recorded in $1.times; the sorted
# output of the last run goes to $1.
report() {
  local out=$1 median='{a[NR]=$1} END {print a[int((NR+1)/2)]}'
  sort "$out.raw" >"$out"
  echo "$(awk '{print $1}' "$out.times" | sort -n | awk "$median")" \
    "$(awk '{print $2}' "$out.times" | sort -n | awk "$median")"
}

# $1 / $2, or 0 when $2 is 0.
ratio() { if [ "$(echo "$2 > 0" | bc)" = 1 ]; then echo "$1 / $2" | bc -l; else echo 0; fi; }
