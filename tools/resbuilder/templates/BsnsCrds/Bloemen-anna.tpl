# Business card (Dutch): a florist.
page 1.545 3
colours #ffffff #fff0f6 #ffffff #ffffff #ffdeeb
picture flowers/tulips 0.05 0.14 0.28
text 0.38 0.14 0.54 left #c2255c "DejaVu Serif" 80 bold Bloemen Anna
text 0.38 0.40 0.40 left #495057 "Liberation Serif" 50 italic boeketten · planten · feesten
text 0.38 0.62 0.50 left #1a2850 "Liberation Sans" 44 regular Marktplein 7, Gent|09 123 45 67|anna@bloemen-anna.be
