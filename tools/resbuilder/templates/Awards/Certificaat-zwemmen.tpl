# Award (Dutch): swimming certificate with a dolphin and a whale.
page 1.414 3
colours #ffffff #e7f5ff #ffffff #ffffff #d0ebff
picture sealife/whale 0.05 0.62 0.30 opacity 200
picture sealife/dolphin 0.70 0.06 0.24
text c 0.08 0.62 centre #1864ab "DejaVu Serif" 90 bold Zwemdiploma
text c 0.34 0.40 centre #495057 "Liberation Serif" 60 italic uitgereikt aan
text c 0.48 0.56 centre #1a2850 "Liberation Serif" 80 bold Naam van de zwemmer
text c 0.66 0.40 centre #495057 "Liberation Sans" 48 regular Kavelo Zwemclub · 2026
text 0.62 0.84 0.30 centre #868e96 "Liberation Sans" 40 regular handtekening|_______________
