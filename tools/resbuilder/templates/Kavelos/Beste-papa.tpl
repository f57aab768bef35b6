# T-shirt for Father's Day: a cool smiley and a heart.
page 0.95 1
colours #ffffff #ffffff #ffffff #ffffff #ffffff
picture party/bigheart 0.54 0.34 0.34 opacity 230
picture smileys/cool 0.12 0.27 0.44
text c 0.04 0.86 centre #1a2850 "DejaVu Serif" 80 bold BESTE PAPA
text c 0.80 0.76 centre #d6336c "Liberation Serif" 70 italic van de hele wereld
