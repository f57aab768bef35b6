# Menu (Dutch): a seafood restaurant by the lighthouse.
page 0.707 3
colours #ffffff #e7f5ff #e7f5ff #ffffff #ffffff
picture transport/lighthouse 0.06 0.03 0.09
text 0.20 0.05 0.66 centre #1864ab "DejaVu Serif" 80 bold De Vuurtoren
text 0.24 0.13 0.56 centre #495057 "Liberation Serif" 50 italic vis · schaaldieren · zee
text 0.14 0.26 0.62 left #1a2850 "Liberation Sans" 48 regular Voorgerechten|Garnalenkroketten  12,50|Vissoep van de dag  9,00||Hoofdgerechten|Gebakken zeetong  28,00|Kreeft met frietjes  39,50|Mosselen natuur  24,00||Desserts|Dame blanche  8,50|Crème brûlée  8,00
text 0.08 0.90 0.50 left #868e96 "Liberation Sans" 40 regular Zeedijk 12 · open vanaf 12 uur
picture sealife/lobster 0.74 0.80 0.20
