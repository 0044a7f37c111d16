# bench-compare.awk NATIVE-OUTPUT WINE-OUTPUT: the Wine run's CPU times over the native ones, for
# every pitch-run cell and settings file both outputs measured (make bench prints it last).
BEGIN { FS = "|" }
function trim(s) { gsub(/^[ \t]+|[ \t]+$/, "", s); return s }
# Pitch-run rows start with the entries ("| 1 000 | ..."), settings rows with the file's name.
FNR == 1 { file++ }
/^\| [0-9]/ {
    key = trim($2) " entries, rows " trim($4)
    if (file == 1) { runs[key] = trim($7); order[++n] = key } else { wine[key] = trim($7) }
}
/^\| (shared|pitch list) / {
    key = trim($2) " file, " trim($3) " pairs"
    if (file == 1) { load[key] = trim($7); save[key] = trim($9); sorder[++m] = key }
    else { wload[key] = trim($7); wsave[key] = trim($9) }
}
END {
    print "Wine against native (CPU time ratio)"
    print ""
    print "| pitch run | native CPU ms | Wine CPU ms | Wine / native |"
    print "|---|--:|--:|--:|"
    for (i = 1; i <= n; i++) {
        k = order[i]
        if (k in wine && runs[k] > 0) {
            printf "| %s | %s | %s | %.2f |\n", k, runs[k], wine[k], wine[k] / runs[k]
        }
    }
    print ""
    print "| settings | native load / save CPU ms | Wine load / save CPU ms | Wine / native |"
    print "|---|--:|--:|--:|"
    for (i = 1; i <= m; i++) {
        k = sorder[i]
        if (k in wload && load[k] + save[k] > 0) {
            printf "| %s | %s / %s | %s / %s | %.2f |\n", k, load[k], save[k], wload[k], wsave[k],
                   (wload[k] + wsave[k]) / (load[k] + save[k])
        }
    }
}
