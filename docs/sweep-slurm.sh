#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A parameter sweep as a Slurm job array: one batch run per array task, one value each.
#   sbatch docs/sweep-slurm.sh task.PEPmodel
# then, when all tasks are done, gather the one-row summaries into one table:
#   (echo "value,$(head -1 sweep/p=0.3/summary.csv)";
#    for d in sweep/p=*; do echo "${d#sweep/p=},$(sed -n 2p "$d/summary.csv")"; done) > sweep/sweep.csv
#SBATCH --job-name=pepsim-sweep
#SBATCH --array=0-3
#SBATCH --cpus-per-task=2
#SBATCH --time=00:30:00
#SBATCH --output=sweep/slurm-%A_%a.out
set -euo pipefail

values=(0.3 0.4 0.5 0.6)            # Protector_L_QNSuperSpin, mm
value="${values[$SLURM_ARRAY_TASK_ID]}"
project="${1:?project file}"

pepsim --batch "$project" --until 7 --threads "$SLURM_CPUS_PER_TASK" \
    --set "Protector_L_QNSuperSpin=$value" --out "sweep/p=$value"
