# Award (Dutch): swimming certificate with a dolphin and a whale.
page 1.414 3
colours #ffffff #e7f5ff #ffffff #ffffff #d0ebff
picture sealife/dolphin 0.76 0.05 0.20
picture sealife/whale 0.04 0.74 0.22 opacity 200
text c 0.08 0.50 centre #1864ab "DejaVu Serif" 90 bold Zwemdiploma
text c 0.33 0.36 centre #495057 "Liberation Serif" 60 italic uitgereikt aan
text c 0.46 0.56 centre #1a2850 "Liberation Serif" 80 bold Naam van de zwemmer
text c 0.64 0.40 centre #495057 "Liberation Sans" 48 regular Kavelo Zwemclub · 2026
text 0.64 0.82 0.28 centre #868e96 "Liberation Sans" 40 regular handtekening|_______________
