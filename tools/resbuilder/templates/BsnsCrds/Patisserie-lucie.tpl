# Business card (French): a pastry shop.
page 1.545 3
colours #fff9db #fff4e6 #fff9db #fff9db #ffe8cc
picture sweets/cupcake 0.68 0.12 0.26
text 0.06 0.12 0.56 left #a34100 "DejaVu Serif" 80 bold Pâtisserie|Lucie
text 0.06 0.56 0.44 left #862e9c "Liberation Serif" 50 italic gâteaux sur commande
text 0.06 0.72 0.46 left #1a2850 "Liberation Sans" 44 regular 3 rue des Lilas, Lyon|04 72 00 00 00
