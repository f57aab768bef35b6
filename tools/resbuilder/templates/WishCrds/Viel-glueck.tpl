# Wish card (German): good luck.
page 1.0 3
colours #ffffff #ebfbee #ebfbee #ffffff #d3f9d8
picture flowers/clover c 0.08 0.44
picture bugs/ladybird 0.62 0.40 0.18
text c 0.62 0.80 centre #2b8a3e "Liberation Serif" 90 bolditalic Viel Glück!
text c 0.84 0.70 centre #495057 "Liberation Sans" 48 regular für alles, was du vorhast
