# bench-compare.awk NATIVE-OUTPUT WINE-OUTPUT: the Wine run's times over the native ones (CPU
# time, and the median wall time of the pitch runs), for every pitch-run cell and settings file
# both outputs measured (make bench prints it last).
BEGIN { FS = "|" }
function trim(s) { gsub(/^[ \t]+|[ \t]+$/, "", s); return s }
# Pitch-run rows start with the entries ("| 1 000 | ..."), settings rows with the file's name.
FNR == 1 { file++ }
/^\| [0-9]/ {
    key = trim($2) " entries, rows " trim($4)
    if (file == 1) { runs[key] = trim($7); wall[key] = trim($6); order[++n] = key }
    else { wine[key] = trim($7); wwall[key] = trim($6) }
}
/^\| (shared|pitch list) / {
    key = trim($2) " file, " trim($3) " pairs"
    if (file == 1) { load[key] = trim($7); save[key] = trim($9); sorder[++m] = key }
    else { wload[key] = trim($7); wsave[key] = trim($9) }
}
END {
    print "Wine against native"
    print ""
    print "| pitch run | native CPU ms | Wine CPU ms | Wine / native CPU | Wine / native wall |"
    print "|---|--:|--:|--:|--:|"
    for (i = 1; i <= n; i++) {
        k = order[i]
        if (k in wine && runs[k] > 0 && wall[k] > 0) {
            printf "| %s | %s | %s | %.2f | %.2f |\n", k, runs[k], wine[k], wine[k] / runs[k],
                   wwall[k] / wall[k]
        }
    }
    print ""
    print "| settings | native load / save CPU ms | Wine load / save CPU ms | Wine / native CPU |"
    print "|---|--:|--:|--:|"
    for (i = 1; i <= m; i++) {
        k = sorder[i]
        if (k in wload && load[k] + save[k] > 0) {
            printf "| %s | %s / %s | %s / %s | %.2f |\n", k, load[k], save[k], wload[k], wsave[k],
                   (wload[k] + wsave[k]) / (load[k] + save[k])
        }
    }
}
