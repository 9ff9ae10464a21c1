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

nodisplay "$pepsim" --batch "$work/task.PEPmodel" --until 100 --set DeltaT_QNSuperSpin=40 --out "$work/diverged" 2>/dev/null
check "a diverging run is status 4" test $? -eq 4
check "and still writes its files" grep -q '"outcome": "solver failure"' "$work/diverged/summary.json"

# A project opens wherever it was written: the default project (with a few fractions changed) saved
# on a Russian desktop (",") and on an English one ("."), run under each locale, with --set in the
# file's own separator, gives the same record to the byte.
printf '%s\r\n' '[MainForm]' 'DeltaX_QNSuperSpin=10' 'DeltaT_QNSuperSpin=0,15' 'IterationSpinEdit=10' \
    '[ParametersForm]' 'Electro_C_QNSuperSpin=68' 'Electro_R_QNSuperSpin=180' 'Electro_L_QNSuperSpin=1,25' \
    'Electro_U0_QNSuperSpin=300' 'Electro_VTRon_QNSuperSpin=16' 'Electro_VTRoff_QNSuperSpin=10000' \
    'Electro_VTFrontTime_QNSuperSpin=10' 'Electro_VTTime_QNSuperSpin=100' 'VT_Cut_Off_QNSuperSpin=600' \
    'Electro_RL_QNSuperSpin=0,01' 'Protector_Ro_QNSuperSpin=2650' 'Piezo_Ro_QNSuperSpin=7600' \
    'Dempfer_Nu_QNSuperSpin=650' 'Dempfer_L_QNSuperSpin=6' 'Dempfer_C33_QNSuperSpin=67' \
    'Dempfer_Ro_QNSuperSpin=8200' 'Piezo_L_QNSuperSpin=0,45' 'Protector_L_QNSuperSpin=0,5' \
    'Liquid_L_QNSuperSpin=0' 'Sample_L_QNSuperSpin=16' 'Liquid_Ro_QNSuperSpin=1000' 'Sample_Ro_QNSuperSpin=7800' \
    'Piezo_C33_QNSuperSpin=121' 'Protector_C33_QNSuperSpin=90' 'Liquid_C33_QNSuperSpin=2,25' \
    'Sample_C33_QNSuperSpin=275' 'Piezo_Nu_QNSuperSpin=30' 'Protector_Nu_QNSuperSpin=20' \
    'Liquid_Nu_QNSuperSpin=0' 'Sample_Nu_QNSuperSpin=0' 'Piezo_d33_QNSuperSpin=40' 'Piezo_ee0_QNSuperSpin=1300' \
    'Spep_QNSuperSpin=50' 'Ag_L2_QNSuperSpin=0,02' 'Ag_Ro2_QNSuperSpin=10500' 'Ag_C33_2_QNSuperSpin=82,7' \
    'Ag_L1_QNSuperSpin=0,02' 'Ag_Ro1_QNSuperSpin=10500' 'Ag_C33_1_QNSuperSpin=82,7' 'InverseCheckBox=0' \
    '[ElectroForm]' 'Middle_F_QNSuperSpin=2,5' 'Width_F_QNSuperSpin=2' 'Diapazon_QNSuperSpin=350' \
    >"$work/comma.PEPmodel"
sed 's/\([0-9]\),\([0-9]\)/\1.\2/' "$work/comma.PEPmodel" >"$work/point.PEPmodel"
check "the point file differs from the comma file only in its separators" \
    test "$(grep -c ',' "$work/comma.PEPmodel"),$(grep -c ',' "$work/point.PEPmodel")" = "11,0"
for loc in C en_US.UTF-8 de_DE.UTF-8 ru_RU.UTF-8; do
    for sep in comma point; do
        set=0,55
        [[ $sep == point ]] && set=0.55
        env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LANG="$loc" LC_ALL="$loc" "$pepsim" --batch \
            "$work/$sep.PEPmodel" --until 0.1 --set Protector_L_QNSuperSpin=$set --out "$work/$loc-$sep" \
            2>"$work/err.txt"
        check "the $sep file runs under $loc (status 0)" test $? -eq 0
        check "and its signals.csv is that of the comma file under C" \
            cmp -s "$work/C-comma/signals.csv" "$work/$loc-$sep/signals.csv"
    done
done
check "the file's time step was read" grep -q '"dt_s": 1.5e-10,' "$work/C-comma/summary.json"

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
