# Wish card (English): birthday.
page 0.707 3
colours #ffffff #fff0f6 #f3f0ff #fff9db #fff0f6
picture party/balloonbunch 0.60 0.04 0.32
picture sweets/cupcake 0.08 0.12 0.34
text c 0.48 0.80 centre #d6336c "DejaVu Sans" 90 bold Happy|Birthday!
text c 0.76 0.70 centre #5f3dc4 "Liberation Serif" 56 italic have a wonderful day
picture party/yellowgift c 0.84 0.14
