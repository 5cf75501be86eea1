# The batch's peer in the benchmark: what a user might write by hand instead.
# It reads the same file, looks the density up, applies the mode and prints
# each line with its mass; nothing is checked and the rounding is binary.
# usage: awk -F SEPARATOR -f BatchPeer.awk GRADES LIST
# GRADES: one grade and its density a line, with the same separator.

function number(text) {
    gsub(/ /, "", text)
    sub(/,/, ".", text)
    return text + 0
}

NR == FNR {
    density[$1] = number($2)
    next
}

{
    alloy = $1
    sub(/ +$/, "", alloy)
    rho = (alloy in density) ? density[alloy] : number(alloy)
    t = number($3)
    if ($2 == "центру верхнего отклонения")
        t += number($4) / 2
    else if ($2 == "центру нижнего отклонения")
        t += number($5) / 2
    mass = number($6) * number($7) * number($8) * rho * t / 1000000
    scale = 10 ^ $9
    print $0 FS int(mass * scale + 0.5) / scale
}
