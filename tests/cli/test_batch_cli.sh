#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The batch command line as a script uses it: no display at all, exit statuses, files, a sweep.
#   test_batch_cli.sh PEPSIM SOURCE_DIR
set -uo pipefail
pepsim="$1" source="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # description, then a command that must succeed
    local what="$1"; shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
# No X server, no Wayland, no platform plugin chosen: the batch run must not need any.
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LC_ALL=C "$@"; }

printf '[MainForm]\r\nDeltaX_QNSuperSpin=50\r\n' >"$work/task.PEPmodel"
nodisplay "$pepsim" --batch "$work/task.PEPmodel" --until 0.2 --out "$work/run" 2>"$work/err.txt"
check "a batch run without a display completes (status 0)" test $? -eq 0
check "signals.csv has the header and 1 + 1000 rows" \
    test "$(head -1 "$work/run/signals.csv"),$(wc -l <"$work/run/signals.csv")" = "t_us,U0_V,U1_V,Upep_V,I0_A,IL_A,Ipep_A,1002"
check "summary.json says completed" grep -q '"outcome": "completed"' "$work/run/summary.json"
check "impedance.csv has its header" test "$(head -1 "$work/run/impedance.csv")" = "f_MHz,Z_ohm,phase_deg"
check "spectrum_db.csv has its header" test "$(head -1 "$work/run/spectrum_db.csv")" = "f_MHz,A_dB"
check "summary.json holds the impedance figures" grep -q '"impedance": {' "$work/run/summary.json"
check "and the pulse figures of Upep" grep -q '"signal": "Upep"' "$work/run/summary.json"
check "one final line on a non-terminal standard error" test "$(wc -l <"$work/err.txt")" -eq 1

nodisplay "$pepsim" --batch "$work/task.PEPmodel" 2>"$work/err.txt"
check "a missing --until is status 2" test $? -eq 2
check "with one clear line and the way to help" grep -qx 'Нужен аргумент --until МИКРОСЕКУНДЫ.' "$work/err.txt"

nodisplay "$pepsim" --help >"$work/help.txt"
check "--help is status 0" test $? -eq 0
for word in --batch --until --out --set --threads signals.csv summary.json; do
    check "--help mentions $word" grep -q -- "$word" "$work/help.txt"
done

nodisplay "$pepsim" --frobnicate 2>"$work/err.txt"
check "an unknown option of the windows is status 2 even without a display" test $? -eq 2
check "with its name" grep -qx 'Неизвестный аргумент: --frobnicate' "$work/err.txt"
nodisplay "$pepsim" --lang de 2>"$work/err.txt"
check "an unknown language is status 2 without a display" test $? -eq 2
check "with the languages there are" grep -qx 'Неизвестный язык: de (ru или en).' "$work/err.txt"

printf '[MainForm]\r\nDeltaX_QNSuperSpin=50\r\n[ParametersForm]\r\nSpep_QNSuperSpin=0\r\n' >"$work/refused.PEPmodel"
nodisplay "$pepsim" --batch "$work/refused.PEPmodel" --until 1 --out "$work/refused" 2>"$work/err.txt"
check "a refused task is status 3" test $? -eq 3
check "with the refusal text" grep -qx 'Площадь пъезопластины должна быть больше нуля.' "$work/err.txt"

# Layer values that describe no computable stack, set on the command line.
while IFS='|' read -r set message; do
    nodisplay "$pepsim" --batch "$work/task.PEPmodel" --until 7 --set "$set" --out "$work/impossible" \
        2>"$work/err.txt"
    check "--set $set is status 3" test $? -eq 3
    check "  saying so" test "$(cat "$work/err.txt")" = "Задача не создана.
$message"
done <<'CASES'
Piezo_L_QNSuperSpin=0|Параметр «Пъезоэлемент, Толщина (мм)» слишком мал: пъезопластина должна занимать не менее двух узлов сетки.
Piezo_Ro_QNSuperSpin=-7600|Параметр «Пъезоэлемент, Плотность (кГ/м^3)» должен быть больше нуля: задача не может быть рассчитана.
Protector_L_QNSuperSpin=-1|Параметр «Протектор, Толщина (мм)» меньше нуля: задача не может быть рассчитана.
CASES

nodisplay "$pepsim" --batch "$work/task.PEPmodel" --until 100 --set DeltaT_QNSuperSpin=40 --out "$work/diverged" 2>/dev/null
check "a diverging run is status 4" test $? -eq 4
check "and still writes its files" grep -q '"outcome": "solver failure"' "$work/diverged/summary.json"

PEPSIM="$pepsim" nodisplay "$source/scripts/sweep" --out "$work/sweep" "$work/task.PEPmodel" \
    Protector_L_QNSuperSpin 0.1 0.4 0.5 0.6 x >/dev/null
check "the sweep runs" test $? -eq 0
check "one folder per value that ran" test "$(ls -d "$work"/sweep/Protector_L_QNSuperSpin=* | wc -l)" -eq 3
check "sweep.csv has a header and four rows" test "$(wc -l <"$work/sweep/sweep.csv")" -eq 5
check "every row of sweep.csv has as many fields as its header" \
    test "$(awk -F, '{ print NF }' "$work/sweep/sweep.csv" | sort -u | wc -l)" -eq 1
check "the bad value's row says status 2" grep -q '^x,2,' "$work/sweep/sweep.csv"
check "the thickest protector has the most nodes" \
    test "$(cut -d, -f1,2,3 "$work/sweep/sweep.csv" | tr '\n' ' ')" = "value,exit_status,nodes 0.4,0,504 0.5,0,506 0.6,0,508 x,2, "

exit $((failures > 0))
