#!/bin/sh
# trelvo audit's HTML report of the sample log, read by xmllint's HTML parser:
# one list item per finding of the summary, each with the finding's text, and
# the log it vouches for named by its size and SHA-256; the CSV table has a
# row per finding after the rows that name the report and its sources.
#   audit_report_test.sh TRELVO SAMPLE_FOLDER OUT_FOLDER
set -eu
trelvo="$1" sample="$2" out="$3"
fail() { echo "audit_report_test: $*"; exit 1; }
command -v xmllint >/dev/null || { echo 'xmllint is missing (Debian: libxml2-utils)'; exit 77; }
rm -rf "$out" && mkdir -p "$out"
cp "$sample/sabulog.csv" "$sample/re.ini" "$out/"
status=0
"$trelvo" audit --log "$out/sabulog.csv" --counter-file "$out/re.ini" --html "$out/bericht.html" \
  --csv "$out/befunde.csv" >"$out/summary.txt" || status=$?
[ "$status" -eq 1 ] || fail "exit status $status, not 1 (the sample has a duplicate and gaps)"
sed -n '/^Befunde:/,/^Ergebnis:/p' "$out/summary.txt" | sed -n 's/^  [^ ]*\( [^ ]*\)\{0,1\} \{2,\}//p' >"$out/findings.txt"
count="$(wc -l <"$out/findings.txt")"
[ "$count" -gt 0 ] || fail "no findings in the summary"
items="$(xmllint --html --xpath 'count(//ol/li)' "$out/bericht.html" 2>/dev/null)"
[ "$items" = "$count" ] || fail "$items findings in the report, $count in the summary"
xmllint --html --xpath 'string(//ol)' "$out/bericht.html" 2>/dev/null >"$out/report.txt"
while IFS= read -r finding; do
  grep -qF "$finding" "$out/report.txt" || fail "not in the report: $finding"
done <"$out/findings.txt"
rows="$(grep -cv '^"\(Bericht\|Zeitraum\|Protokoll\|Server\|Ergebnis\)";\|^Art;' "$out/befunde.csv")"
[ "$rows" = "$count" ] || fail "$rows rows in the CSV table, $count findings"
sum="$(sha256sum "$out/sabulog.csv" | cut -d' ' -f1)"
size="$(wc -c <"$out/sabulog.csv" | tr -d ' ')"
sources="$(xmllint --html --xpath 'string(//dl)' "$out/bericht.html" 2>/dev/null)"
for part in "SHA-256 $sum" "$size Bytes" "149 Zeilen" "mit trelvo "; do
  case "$sources" in *"$part"*) ;; *) fail "the report does not name its log with: $part" ;; esac
done
grep -q "SHA-256 $sum" "$out/befunde.csv" || fail "the CSV table does not name the log's SHA-256"
echo "audit_report_test: $count findings in the summary, the HTML report and the CSV table"
