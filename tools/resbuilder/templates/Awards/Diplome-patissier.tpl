# Award (French): best pastry cook, with cakes in the corners.
page 1.414 3
colours #fff9db #fff4e6 #fff9db #fff9db #ffe8cc
picture sweets/pinkcake 0.04 0.06 0.20
picture sweets/cupcake 0.80 0.60 0.16
text c 0.08 0.56 centre #c2255c "DejaVu Serif" 90 bold Diplôme
text c 0.32 0.60 centre #862e9c "Liberation Serif" 64 italic du meilleur pâtissier
text c 0.50 0.50 centre #1a2850 "Liberation Serif" 80 bold Prénom Nom
text c 0.70 0.46 centre #495057 "Liberation Sans" 44 regular décerné le 14 juillet 2026
