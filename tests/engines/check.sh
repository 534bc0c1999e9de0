#!/usr/bin/env bash
# The capture's pieces rendered by the engines docs/capture.md has recipes for, joined, and compared
# with the master one machine makes (ctest runs it from the build folder; engines_tests.cmake
# registers each mode):
#   check.sh ssh             GNU parallel across SSH, to this machine through an sshd of its own
#   check.sh slurm SCRIPT    a one-node Slurm cluster of its own: SCRIPT's job array and a join
#                            job that waits for it
# Every daemon is started here, in a temporary folder, on free ports, and stopped at the end
# whatever happens. Exit status 77 (skipped) without root or a package of install-deps cluster.
set -euo pipefail
mode=$1
shift
capture=$PWD/quenrastilan-capture
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "skipped: $*"; exit 77; }
need() { for c; do command -v "$c" >/dev/null || skip "no $c (scripts/install-deps cluster)"; done; }
[ "$(id -u)" -eq 0 ] || skip "not root: the daemons here run as root"
need ffmpeg

# A tiny capture with scenes that carry state: 8 frames, in 3 pieces.
fps=2
frames=8
samples=$((frames * 48000 / fps))
options=(--size 320x240 --fps "$fps" --from 159000 --to 162500)
pieces=3

tmp=$(mktemp -d)
daemons=()
made_run_sshd=0
before_stop=:
stop() {
  $before_stop
  for pid in "${daemons[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${daemons[@]}"; do
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  daemons=()
  [ $made_run_sshd -eq 0 ] || rmdir /run/sshd
  rm -rf "$tmp"
}
trap stop EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
mkdir "$tmp/work" "$tmp/tmp"
export TMPDIR=$tmp/tmp PARALLEL_HOME=$tmp/parallel

# A port nothing listens on now (another taking it before the daemon does fails the run).
free_port() {
  local port
  while :; do
    port=$((20000 + RANDOM % 40000))
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
  done
}

# Waits up to $1 seconds for a command to succeed.
wait_for() {
  local seconds=$1
  shift
  for _ in $(seq $((seconds * 10))); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# The decoded frames and sound of the joined master are those of the one-machine master, and
# each has all its frames and exactly their sound (16-bit stereo, decoded as 32-bit).
compare() {
  local f
  "$capture" --quiet --master one/show.mkv "${options[@]}" || fail "the one-machine master failed"
  for f in one/show.mkv show.mkv; do
    [ -s "$f" ] || fail "no $f"
    ffmpeg -v error -i "$f" -map 0:v -f framemd5 - | grep -v '^#' >"$f.frames"
    ffmpeg -v error -i "$f" -map 0:a -c:a pcm_s32le -f s32le - >"$f.sound"
    [ "$(wc -l <"$f.frames")" -eq $frames ] || fail "$f has $(wc -l <"$f.frames") frames, not $frames"
    [ "$(stat -c %s "$f.sound")" -eq $((samples * 8)) ] ||
      fail "$f has $(($(stat -c %s "$f.sound") / 8)) samples of sound, not $samples"
  done
  cmp -s one/show.mkv.frames show.mkv.frames || fail "the joined frames differ from one machine's"
  cmp -s one/show.mkv.sound show.mkv.sound || fail "the joined sound differs from one machine's"
}

cd "$tmp/work"

case $mode in
ssh)
  need sshd ssh ssh-keygen parallel rsync
  # sshd checks that its privilege separation folder is there, which its service makes at boot.
  if [ ! -d /run/sshd ]; then mkdir -m 755 /run/sshd; made_run_sshd=1; fi
  mkdir -m 700 ../ssh ../home
  ssh-keygen -q -t ed25519 -N '' -C engine-host -f ../ssh/host_key
  ssh-keygen -q -t ed25519 -N '' -C engine-client -f ../ssh/client_key
  cp ../ssh/client_key.pub ../ssh/authorized_keys
  echo "engine $(cat ../ssh/host_key.pub)" >../ssh/known_hosts
  port=$(free_port)
  cat >../ssh/sshd_config <<EOF
ListenAddress 127.0.0.1
Port $port
HostKey $tmp/ssh/host_key
AuthorizedKeysFile $tmp/ssh/authorized_keys
PidFile none
UsePAM no
PasswordAuthentication no
KbdInteractiveAuthentication no
PermitRootLogin prohibit-password
StrictModes no
PrintMotd no
PrintLastLog no
MaxStartups 50
# The machine's login folder: its own, in the temporary folder.
ForceCommand cd $tmp/home && eval "\$SSH_ORIGINAL_COMMAND"
EOF
  # The two machines GNU parallel is given are this one under two names.
  cat >../ssh/config <<EOF
Host node1 node2
  HostName 127.0.0.1
  Port $port
  HostKeyAlias engine
  IdentityFile $tmp/ssh/client_key
  IdentitiesOnly yes
  UserKnownHostsFile $tmp/ssh/known_hosts
  GlobalKnownHostsFile /dev/null
  StrictHostKeyChecking yes
  BatchMode yes
EOF
  # Absolute paths: sshd runs itself again for each connection, from /.
  "$(command -v sshd)" -D -f "$tmp/ssh/sshd_config" -E "$tmp/ssh/sshd.log" &
  daemons=($!)
  wait_for 30 ssh -F ../ssh/config node1 true || { cat ../ssh/sshd.log >&2; fail "sshd did not start"; }

  # The recipe across machines, each piece made in a folder of its own there and brought back.
  parallel --ssh 'ssh -F ../ssh/config' --sshlogin 1/node1,1/node2 --workdir ... \
    --return show.piece-{}-of-$pieces.mkv --cleanup --halt now,fail=1 \
    "$capture" --quiet --master show.mkv --piece {}/$pieces "${options[@]}" ::: $(seq -w $pieces) ||
    fail "GNU parallel failed"
  logins=$(grep -c 'Accepted publickey' ../ssh/sshd.log || true)
  [ "$logins" -ge $pieces ] || fail "only $logins logins through sshd for $pieces pieces"
  "$capture" --join show.mkv show.piece-*-of-$pieces.mkv || fail "the join failed"
  compare ;;
slurm)
  script=$1
  need munged mungekey slurmctld slurmd sbatch squeue sinfo scancel hostname
  mkdir -m 700 ../munge ../slurm ../slurm/state ../slurm/spool
  mungekey --create --keyfile="$tmp/munge/key"
  munged --foreground --force --socket="$tmp/munge/socket" --key-file="$tmp/munge/key" \
    --pid-file="$tmp/munge/pid" --log-file="$tmp/munge/log" --seed-file="$tmp/munge/seed" 2>/dev/null &
  daemons=($!)
  wait_for 10 test -S "$tmp/munge/socket" || { cat ../munge/log >&2; fail "munged did not start"; }
  # The node is this machine; it is also the controller. Jobs can neither be tracked by cgroups
  # nor bound to cores here (no systemd, a container).
  node=$(hostname -s)
  ctld_port=$(free_port)
  node_port=$(free_port)
  while [ "$node_port" = "$ctld_port" ]; do node_port=$(free_port); done
  export SLURM_CONF=$tmp/slurm/slurm.conf
  cat >"$SLURM_CONF" <<EOF
ClusterName=engines
SlurmctldHost=$node(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$node_port
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$tmp/munge/socket
StateSaveLocation=$tmp/slurm/state
SlurmdSpoolDir=$tmp/slurm/spool
SlurmctldPidFile=$tmp/slurm/slurmctld.pid
SlurmdPidFile=$tmp/slurm/slurmd.pid
SlurmctldLogFile=$tmp/slurm/slurmctld.log
SlurmdLogFile=$tmp/slurm/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
MpiDefault=none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
NodeName=$node NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=engines Nodes=$node Default=YES MaxTime=INFINITE State=UP
EOF
  # In the foreground they log to stderr too: their files have it all.
  slurmctld -D -i -f "$SLURM_CONF" 2>/dev/null &
  daemons+=($!)
  slurmd -D -f "$SLURM_CONF" 2>/dev/null &
  daemons+=($!)
  # A job's step outlives slurmd: none is left running.
  steps_gone() { ! ls "$tmp/slurm/spool/${node}_"* >/dev/null 2>&1; }
  before_stop() { scancel --full --quiet --user=root 2>/dev/null || true; wait_for 30 steps_gone || true; }
  before_stop=before_stop
  idle() { [ "$(sinfo -h -N -o %t)" = idle ]; }
  wait_for 60 idle || { cat ../slurm/*.log >&2; fail "the node did not come up: $(sinfo -h -N -o %t)"; }

  # The recipe: the job array of the pieces, and the join once they have all succeeded.
  job=$(sbatch --parsable --array=1-$pieces "$script" $pieces \
    "$capture" --quiet --master show.mkv "${options[@]}")
  join=$(sbatch --parsable --dependency="afterok:$job" --kill-on-invalid-dep=yes \
    --wrap "$(printf '%q' "$capture") --join show.mkv show.piece-*-of-$pieces.mkv")
  ended() { [ -z "$(squeue -h -j "$job,$join")" ]; }
  # Generous: the wait only ends a run that hangs.
  wait_for 600 ended || { scancel "$job" "$join"; fail "the jobs did not end: $(squeue -j "$job,$join")"; }
  [ -s show.mkv ] || { tail -n 20 ./*.out >&2; fail "the join job left no show.mkv"; }
  compare ;;
*)
  fail "no mode '$mode'" ;;
esac
