# Business card (English): a gardener.
page 1.545 3
colours #ffffff #ebfbee #ffffff #f4fce3 #d3f9d8
picture flowers/sunflower 0.04 0.10 0.26
picture flowers/flowerpot 0.82 0.56 0.13
text 0.34 0.12 0.58 left #2b8a3e "DejaVu Sans" 80 bold Green Thumb|Gardening
text 0.34 0.54 0.42 left #495057 "Liberation Serif" 50 italic lawns · hedges · borders
text 0.34 0.70 0.40 left #1a2850 "Liberation Sans" 44 regular Sam Gardner|07700 900123
