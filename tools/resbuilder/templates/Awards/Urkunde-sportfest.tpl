# Award (German): sports day certificate with a ball and running shoes.
page 1.414 3
colours #ffffff #ebfbee #ffffff #ffffff #d3f9d8
picture sports/soccerball 0.05 0.08 0.14
picture sports/sneakers 0.76 0.66 0.20
text c 0.07 0.48 centre #2b8a3e "DejaVu Sans" 100 bold URKUNDE
text c 0.30 0.50 centre #495057 "Liberation Sans" 56 regular zum Sportfest 2026 für
text c 0.46 0.58 centre #1a2850 "Liberation Serif" 80 bold Vorname Nachname
text c 0.64 0.56 centre #2b8a3e "Liberation Sans" 56 bold 1. Platz im Weitsprung
