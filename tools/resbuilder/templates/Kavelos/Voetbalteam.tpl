# T-shirt for a football team: the ball on fire and a big number.
page 0.95 1
colours #ffffff #ffffff #ffffff #ffffff #ffffff
text c 0.04 0.70 centre #c92a2a "Liberation Sans" 100 bold FC KAVELO
picture sports/fireball c 0.26 0.70
text c 0.74 0.30 centre #1a2850 "DejaVu Sans" 120 bold 10
