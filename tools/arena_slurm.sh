#!/usr/bin/env bash
# An arena tournament as a Slurm job array: array task K of N plays shard K/N into a CSV of
# its own in OUT_DIR; once every task has ended, one command puts the shards together:
#   sbatch --array=1-16 tools/arena_slurm.sh OUT_DIR --matches 1000 --seed 1
#   ampwarden-arena --merge OUT_DIR/shard-*.csv --csv OUT_DIR/all.csv
# Give every task the same arena options. The array must run 1-N (or any first index) without
# gaps. A task that is stopped and requeued goes on from its CSV instead of starting over.
#SBATCH --job-name=ampwarden-arena
#SBATCH --cpus-per-task=4
#SBATCH --requeue
set -euo pipefail
out="${1:?usage: sbatch --array=1-N $0 OUT_DIR [ampwarden-arena options...]}"
shift
task="${SLURM_ARRAY_TASK_ID:?run as a job array: sbatch --array=1-N $0 OUT_DIR ...}"
count="${SLURM_ARRAY_TASK_COUNT:?run as a job array: sbatch --array=1-N $0 OUT_DIR ...}"
shard=$((task - ${SLURM_ARRAY_TASK_MIN:-1} + 1))
mkdir -p "$out"
exec "${AMPWARDEN_ARENA:-ampwarden-arena}" --jobs "${SLURM_CPUS_PER_TASK:-1}" --shard "$shard/$count" \
    --resume --csv "$out/shard-$shard.csv" "$@"
