#!/usr/bin/env bash
# The batch on Linux and the batch for Windows under Wine, on the same files
# and the same standard input: standard output, standard error and the exit
# status must match byte for byte.
# Usage: same_bytes.sh LINUX_PROGRAM BATCH_LINES WINE WINDOWS_PROGRAM FOLDER
set -uo pipefail
linux=$1 lines=$2 wine=$3 windows=$4 folder=$5
if [ ! -x "$linux" ] || [ ! -x "$lines" ]; then
  echo "no Linux build beside this one ($linux): nothing to compare with"
  exit 77
fi
rm -rf "$folder" && mkdir -p "$folder" && cd "$folder" || exit 1

# The batch test's worked and random lines, with semicolons and LF, and
# as a spreadsheet copies them: tabs and CR LF.
"$lines" > sheets.csv
sed 's/;/\t/g; s/$/\r/' sheets.csv > sheets-tabs.txt
cat > order.csv <<'ORDER'
# заказ 1187
Д16 (1160);номиналу;2;0,2;-0,2;2000;1000;10;2
АМг6 (1560);центру верхнего отклонения;1.5;0,1;;1 500;1 200;25;1
2,7;центру нижнего отклонения;3;0,3;-0,2;3000;1500;4;3
АД1;номиналу;0,8;;;2000;;5;2
ORDER
# What a Windows export brings: its code page, a byte-order mark, CR LF, a
# Ctrl+Z, quotes, and lines with no mass.
iconv -f UTF-8 -t WINDOWS-1251 order.csv > order-1251.csv
{
  printf '\xEF\xBB\xBF# \x1A Ctrl+Z\r\n'
  printf '"Д16 (1160)";"номиналу";"2,5";;;2000;"1""000";1;2\r\n'
  printf 'Д17;по номиналу;2;;;20x0;1000;;2\r\n'
  head -c 5000 /dev/zero | tr '\0' x
  printf '\r\n2,7;номиналу;2;;;2000;1000;1;1E300\r\n'
  tr ';' '\t' < order-1251.csv | tail -n 2
} > faults.csv

# An English sheet's default export: commas apart, decimal dots, titles.
printf '%s\r\n' 'Alloy,Mode,Thickness,Upper,Lower,Length,Width,Count,Places' \
  'Д16 (1160),номиналу,2,,,"2,000","1,000",10,2' \
  'АМг6 (1560),центру верхнего отклонения,1.5,0.1,,"1,500","1,200",25,1' > english.csv

# German exports: dots between thousands, decimal commas, a minus, titles,
# a notes column and the empty one after it; the comma-separated one with
# a semicolon in quoted titles and notes. Lines to warn about and refuse.
printf '%s\r\n' 'Сплав;Считать массу по;Толщина;Верхнее;Нижнее;Длина;Ширина;Количество;Знаков;Примечание;' \
  'Д16 (1160);центру нижнего отклонения;2;0,2;-0,25;1.500;1.000;10;2;срочно;' \
  'АМг6 (1560);номиналу;1,5;;;1.250,5;1.200;25;1;;' \
  '2,7;центру верхнего отклонения;3;0,3;-0,2;12.000;1.500;2;3;;' > german.csv
printf '%s\n' 'Сплав,Считать массу по,Толщина,Верхнее,Нижнее,Длина,"Ширина; мм",Количество,Знаков,Примечание' \
  'Д16 (1160),центру нижнего отклонения,2,"0,2","-0,25",1.500,1.000,10,2,"резать; срочно"' \
  '"2,7",номиналу,"1,5",,,"1.250,5",1.200,25,1,' > german-comma.csv
printf '%s\n' 'Д16 (1160);номиналу;2;;;1.500;1.000;10;2' 'Д16 (1160);номиналу;2;;;1200,75;1000;10;2' \
  'Д16 (1160);номиналу;1.5;;;1.250,5;1000;1;2' > undecided.csv

failed=0
compare() { # what, then the arguments after --batch; standard input from $input
  local what=$1
  shift
  "$linux" --batch "$@" < "$input" > linux.out 2> linux.err
  local linuxStatus=$?
  WINEDEBUG=-all "$wine" "$windows" --batch "$@" < "$input" > wine.out 2> wine.err
  local wineStatus=$?
  if ! cmp -s linux.out wine.out || ! cmp -s linux.err wine.err ||
     [ "$linuxStatus" != "$wineStatus" ]; then
    echo "DIFFERENT: $what (status $linuxStatus on Linux, $wineStatus under Wine)"
    diff <(od -c linux.out) <(od -c wine.out) | head -n 10
    diff linux.err wine.err | head -n 10
    failed=1
  else
    echo "same: $what ($(wc -l < linux.out) lines, status $linuxStatus)"
  fi
}

for file in sheets.csv sheets-tabs.txt order.csv order-1251.csv faults.csv english.csv \
  german.csv german-comma.csv undecided.csv; do
  input=/dev/null compare "$file, named" "$file"
  input=$file compare "$file, on standard input"
done
input=/dev/null compare "order.csv as English, out in Windows-1251" --decimal=. \
  --encoding=windows-1251 order.csv
input=/dev/null compare "undecided.csv as German" --group=. undecided.csv
input=/dev/null compare "undecided.csv as Russian" '--group= ' undecided.csv
exit $failed
