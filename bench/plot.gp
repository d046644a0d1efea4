# Running time of vexo_x86_64 against the number of hexadecimal digits,
# log-log, one curve per constant or formula, with the n^2 slope through the
# largest run of pi by formula 2 for reference. bench/run calls it as
#   gnuplot -e "data='runtime.dat'; png='runtime.png'; ref_n=200000; ref_t=14.2" plot.gp
# runtime.dat: digits, then the CPU seconds of pi by formulas 1 to 4, e, sqrt2.
if (strstrt(GPVAL_TERMINALS, "pngcairo") > 0) {
    set terminal pngcairo size 900,640 enhanced font "sans,11"
} else {
    set terminal png size 900,640
}
set output png
set logscale xy
set format x "10^{%L}"
set format y "10^{%L}"
set xlabel "hexadecimal digits"
set ylabel "CPU time of the whole run (s)"
set title "vexo\\_x86\\_64: running time against digit count"
set key top left
set grid xtics ytics mxtics mytics lc rgb "#dddddd"
set xrange [800:250000]
square(x) = ref_t * (x / ref_n)**2
plot data using 1:2 with linespoints pt 7 lc rgb "#7b2cbf" title "pi, formula 1", \
     data using 1:3 with linespoints pt 5 lc rgb "#1b9e77" title "pi, formula 2", \
     data using 1:4 with linespoints pt 9 lc rgb "#3a86ff" title "pi, formula 3", \
     data using 1:5 with linespoints pt 11 lc rgb "#e85d04" title "pi, formula 4", \
     data using 1:6 with linespoints pt 13 lc rgb "#b5179e" title "e", \
     data using 1:7 with linespoints pt 4 lc rgb "#005f73" title "sqrt2", \
     square(x) with lines dt 2 lw 2 lc rgb "black" title "n^2 slope"
