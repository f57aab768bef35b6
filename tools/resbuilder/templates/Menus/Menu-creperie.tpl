# Menu (French): a crêperie with pancakes and cherries.
page 0.707 3
colours #fff4e6 #fff4e6 #ffe8cc #fff9db #fff4e6
picture sweets/pancakes c 0.03 0.30
text c 0.22 0.66 centre #a34100 "DejaVu Serif" 80 bold Crêperie Lucie
text c 0.30 0.46 centre #862e9c "Liberation Serif" 50 italic menu du jour
text c 0.38 0.74 centre #1a2850 "Liberation Serif" 48 regular Crêpe au sucre · 4,00 €|Crêpe au chocolat · 5,50 €|Crêpe aux pommes · 6,00 €|Galette complète · 9,50 €|Galette chèvre-miel · 10,50 €||Cidre brut · 3,50 €|Chocolat chaud · 3,00 €
picture fruit/cherries 0.78 0.84 0.14
