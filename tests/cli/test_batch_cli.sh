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
# No X server, no Wayland, no platform plugin chosen: the batch run must not need any. The settings
# (the remembered language) are this test's own, and the messages' language is not chosen by the locale.
mkdir -p "$work/config"
nodisplay() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LANGUAGE LC_ALL=C XDG_CONFIG_HOME="$work/config" "$@"
}

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
check "and makes no output folder" test ! -e "$work/refused"

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

# The records of four projects, pinned to the byte: the default task, a fine grid, a run that
# diverges and one whose plate hangs on a 50 ohm resistor and a 10 µH inductor. Any change to the
# arithmetic of the solver or the generator, or to the record's format, changes these digests.
printf '[MainForm]\r\n' >"$work/pin-default.PEPmodel"
printf '[MainForm]\r\nDeltaX_QNSuperSpin=5\r\nDeltaT_QNSuperSpin=0,05\r\n' >"$work/pin-fine.PEPmodel"
printf '[MainForm]\r\nDeltaT_QNSuperSpin=40\r\n' >"$work/pin-diverging.PEPmodel"
printf '[ParametersForm]\r\nElectro_RL_QNSuperSpin=50\r\nElectro_L_QNSuperSpin=10\r\n' >"$work/pin-rl.PEPmodel"
while read -r name until status rows digest; do
    for threads in 1 2; do
        nodisplay "$pepsim" --batch "$work/pin-$name.PEPmodel" --until "$until" --threads $threads \
            --out "$work/pin-$name-$threads" 2>/dev/null
        check "pinned $name record on $threads threads: status $status" test $? -eq "$status"
        check "  its $rows lines of signals.csv to the byte" test \
            "$(wc -l <"$work/pin-$name-$threads/signals.csv") $(sha256sum <"$work/pin-$name-$threads/signals.csv")" \
            = "$rows $digest  -"
    done
done <<'PINS'
default 7 0 35002 7c19c1facb373f626656223d9f6ce8c7873462f8078a9159ee65fbff2ad34030
fine 2 0 40002 8e8d61a10653c3563f702856234eaeaf93263addc7794bc911a6b6ad2aeeed4e
diverging 100 4 93 620f8369d58be6ada7337e4f199b10cbbcf0f3b25b0330f7b12e5368c9e30599
rl 7 0 35002 c632bbb8edbe7c9623d750c82efccda1ccf5f2c4fb475cb94764459452185c74
PINS

PEPSIM="$pepsim" nodisplay "$source/scripts/sweep" --out "$work/sweep" "$work/task.PEPmodel" \
    Protector_L_QNSuperSpin 0.1 0.4 0.5 0.6 x >/dev/null 2>"$work/err.txt"
check "a sweep with failed values is status 1" test $? -eq 1
check "and says how many failed" \
    test "$(cat "$work/err.txt")" = "Не выполнено расчетов: 1 из 4 (см. $work/sweep/messages.txt)."
check "one folder per value that ran" test "$(ls -d "$work"/sweep/Protector_L_QNSuperSpin=* | wc -l)" -eq 3
check "sweep.csv has a header and four rows" test "$(wc -l <"$work/sweep/sweep.csv")" -eq 5
check "every row of sweep.csv has as many fields as its header" \
    test "$(awk -F, '{ print NF }' "$work/sweep/sweep.csv" | sort -u | wc -l)" -eq 1
check "the bad value's row says status 2" grep -q '^x,2,' "$work/sweep/sweep.csv"
check "the thickest protector has the most nodes" \
    test "$(cut -d, -f1,2,3 "$work/sweep/sweep.csv" | tr '\n' ' ')" = "value,exit_status,nodes 0.4,0,504 0.5,0,506 0.6,0,508 x,2, "

# ---- exit statuses and messages, in Russian and in English ------------------------------------
# expect DESCRIPTION STATUS MESSAGE ARGS...: the exact status and the exact standard error.
expect() {
    local what="$1" status="$2" message="$3"; shift 3
    nodisplay "$pepsim" "$@" 2>"$work/err.txt" >/dev/null
    local got=$?
    check "$what: status $status" test "$got" -eq "$status"
    check "$what: message" test "$(cat "$work/err.txt")" = "$message"
}
: >"$work/empty.PEPmodel"
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10' >"$work/picture.PEPmodel"
mkdir -p "$work/config/pepsim"
not_project=" не является проектом: в нем нет разделов MainForm, ParametersForm и ElectroForm."
expect "--set without a value" 2 \
    $'Аргумент --set Protector_L_QNSuperSpin= не задает значение поля Protector_L_QNSuperSpin.\nСправка: pepsim --help' \
    --batch "$work/task.PEPmodel" --until 0.2 --set Protector_L_QNSuperSpin=
expect "a missing project" 2 $'Не существует Файл \n'"$work/none.PEPmodel" --batch "$work/none.PEPmodel" --until 1
expect "an empty file" 2 "Файл $work/empty.PEPmodel$not_project" --batch "$work/empty.PEPmodel" --until 1
expect "a picture renamed .PEPmodel" 2 "Файл $work/picture.PEPmodel$not_project" \
    --batch "$work/picture.PEPmodel" --until 1
expect "an --out folder that cannot be made" 2 "Не удалось создать папку $work/task.PEPmodel/out" \
    --batch "$work/task.PEPmodel" --until 0.2 --out "$work/task.PEPmodel/out"
expect "a refused task" 3 $'Задача не создана.\nПлощадь пъезопластины должна быть больше нуля.' \
    --batch "$work/refused.PEPmodel" --until 1 --out "$work/refused"
expect "--lang de with --batch" 2 "Неизвестный язык: de (ru или en)." --lang de --batch "$work/task.PEPmodel" --until 1

# A file the program may not read. Root reads a file without read permission, so as root a file of
# the kernel that refuses reading even to root stands in for it.
if [[ $(id -u) -ne 0 ]]; then
    unreadable="$work/locked.PEPmodel"
    cp "$work/task.PEPmodel" "$unreadable" && chmod 000 "$unreadable"
else
    unreadable=/proc/sys/vm/drop_caches
fi
if [[ -f "$unreadable" ]] && ! cat "$unreadable" >/dev/null 2>&1; then
    expect "an unreadable project" 2 "Не удалось прочитать файл $unreadable" --batch "$unreadable" --until 1
else
    echo "skip an unreadable project: $unreadable can be read here"
fi

# An existing folder that cannot be written: nothing is computed. As root (who writes into a folder
# without write permission) a kernel folder stands in for it.
if [[ $(id -u) -ne 0 ]]; then
    locked="$work/locked-out"
    mkdir -p "$locked" && chmod 555 "$locked"
else
    locked=/proc
fi
expect "an --out folder that cannot be written" 2 "В папку $locked нельзя записать файлы." \
    --batch "$work/task.PEPmodel" --until 0.2 --out "$locked"
check "and nothing was computed there" test ! -e "$locked/summary.json"

nodisplay "$pepsim" --batch "$work/task.PEPmodel" --until 0.2 --out "$work/ru" 2>"$work/err.txt"
check "completed: status 0" test $? -eq 0
check "completed: the final line" \
    grep -qxE 'Расчет выполнен: 1000 шагов, 0\.200 мкс за [0-9]+\.[0-9]{2} с \([0-9]+ шагов/с\) +' "$work/err.txt"
nodisplay "$pepsim" --batch "$work/task.PEPmodel" --until 100 --set DeltaT_QNSuperSpin=40 --out "$work/ru4" \
    2>"$work/err.txt"
check "solver failure: status 4" test $? -eq 4
check "solver failure: the final line" grep -qxE \
    'Расчет остановлен: переполнение при расчете скоростей: 142 шагов, 5\.680 мкс за [0-9.]+ с \([0-9]+ шагов/с\) +' \
    "$work/err.txt"

nodisplay "$pepsim" --lang en --help >"$work/help.txt"
check "--lang en --help is status 0" test $? -eq 0
check "--lang en --help is the English help" test "$(head -1 "$work/help.txt")" = "Usage:"
check "with the exit statuses in English" grep -q '^Exit status: 0 - calculation completed; 2 - bad arguments' \
    "$work/help.txt"
# Cyrillic letters are the UTF-8 sequences that begin with the bytes D0 and D1.
check "and no Cyrillic letter" test "$(LC_ALL=C grep -c $'[\xd0\xd1]' "$work/help.txt")" -eq 0
expect "an empty file, in English" 2 \
    "The file $work/empty.PEPmodel is not a project: it holds none of the sections MainForm, ParametersForm and ElectroForm." \
    --lang en --batch "$work/empty.PEPmodel" --until 1
expect "a bad argument, in English" 2 $'--set must be followed by NAME=VALUE.\nHelp: pepsim --help' \
    --batch "$work/task.PEPmodel" --until 1 --lang=en --set
expect "a refused task, in English" 3 $'The task was not built.\nThe piezo plate area must be greater than zero.' \
    --lang en --batch "$work/refused.PEPmodel" --until 1 --out "$work/refused"
nodisplay "$pepsim" --lang en --batch "$work/task.PEPmodel" --until 0.2 --out "$work/en" 2>"$work/err.txt"
check "completed in English: status 0" test $? -eq 0
check "completed in English: the final line" \
    grep -qxE 'Calculation completed: 1000 steps, 0\.200 µs in [0-9]+\.[0-9]{2} s \([0-9]+ steps/s\) +' "$work/err.txt"

# Without --lang: the choice remembered from the windows' menu, else the system's language.
nodisplay env LC_ALL=en_US.UTF-8 "$pepsim" --batch "$work/task.PEPmodel" 2>"$work/err.txt"
check "an English system gives English messages" \
    test "$(cat "$work/err.txt")" = $'The argument --until MICROSECONDS is required.\nHelp: pepsim --help'
printf '[General]\nlanguage=en\n' >"$work/config/pepsim/pepsim.conf"
nodisplay "$pepsim" --batch "$work/task.PEPmodel" 2>"$work/err.txt"
check "the remembered English comes before the system's language" \
    test "$(head -1 "$work/err.txt")" = "The argument --until MICROSECONDS is required."
nodisplay "$pepsim" --lang ru --batch "$work/task.PEPmodel" 2>"$work/err.txt"
check "and --lang before the remembered choice" \
    test "$(head -1 "$work/err.txt")" = "Нужен аргумент --until МИКРОСЕКУНДЫ."
rm "$work/config/pepsim/pepsim.conf"

# ---- the sweep: stale folders, blanks in paths, the exit status ----------------------------------
PEPSIM="$pepsim" nodisplay "$source/scripts/sweep" --out "$work/again" "$work/task.PEPmodel" \
    Protector_L_QNSuperSpin 0.1 0.4 0.5 >/dev/null 2>&1
check "a first sweep completes every value" test $? -eq 0
# The same sweep again into the same folder, with a program whose run for 0.5 now fails.
printf '#!/usr/bin/env bash\nfor a in "$@"; do [[ "$a" != *=0.5 ]] || exit 2; done\nexec "%s" "$@"\n' \
    "$pepsim" >"$work/fails-for-0.5"
chmod +x "$work/fails-for-0.5"
PEPSIM="$work/fails-for-0.5" nodisplay "$source/scripts/sweep" --out "$work/again" "$work/task.PEPmodel" \
    Protector_L_QNSuperSpin 0.1 0.4 0.5 >/dev/null 2>"$work/err.txt"
check "the second sweep is status 1" test $? -eq 1
check "and says so" test "$(cat "$work/err.txt")" = "Не выполнено расчетов: 1 из 2 (см. $work/again/messages.txt)."
check "the value that failed now has an empty figure row" \
    test "$(grep '^0.5,' "$work/again/sweep.csv")" = \
    "0.5,2$(printf ',%.0s' $(seq 1 "$(head -1 "$work/again/Protector_L_QNSuperSpin=0.4/summary.csv" | awk -F, '{ print NF }')"))"
check "and no folder of the earlier run" test ! -e "$work/again/Protector_L_QNSuperSpin=0.5"
check "the other value keeps its figures" grep -q '^0.4,0,504,' "$work/again/sweep.csv"

mkdir -p "$work/with blanks"
cp "$work/task.PEPmodel" "$work/with blanks/my task.PEPmodel"
PEPSIM="$pepsim" nodisplay "$source/scripts/sweep" --out "$work/with blanks/sweep out" \
    "$work/with blanks/my task.PEPmodel" Protector_L_QNSuperSpin 0.1 0.4 0.6 >/dev/null 2>&1
check "a sweep with blanks in the paths is status 0" test $? -eq 0
check "and every value has its figures" test "$(cut -d, -f1,2,3 "$work/with blanks/sweep out/sweep.csv" |
    tr '\n' ' ')" = "value,exit_status,nodes 0.4,0,504 0.6,0,508 "

exit $((failures > 0))
