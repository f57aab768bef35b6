# Menu (German): breakfast café with fruit.
page 0.707 3
colours #ffffff #f4fce3 #f4fce3 #ffffff #ffffff
picture fruit/bananas 0.05 0.04 0.22
picture fruit/strawberry 0.78 0.05 0.14
text c 0.16 0.56 centre #2b8a3e "DejaVu Serif" 80 bold Frühstück
text c 0.24 0.42 centre #495057 "Liberation Serif" 50 italic im Café Sonnenschein
text c 0.34 0.86 left #1a2850 "Liberation Sans" 48 regular Müsli mit frischem Obst · 5,50 €|Pfannkuchen mit Ahornsirup · 6,90 €|Obstsalat der Saison · 4,80 €|Brötchen, Butter und Konfitüre · 3,90 €||Kaffee · 2,40 €|Frisch gepresster Orangensaft · 3,60 €
picture fruit/pineapple 0.10 0.72 0.14
picture fruit/apple 0.76 0.76 0.14
