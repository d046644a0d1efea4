"""The modules of bench/run and bench/compare_builds: what is measured
(plan), running and timing programs (programs), measuring (measure), judging
the figures against their targets (judge), the data files (data) and the
report rendered from them (render, render_costs, RESULTS.md.in)."""
