# Menu (English): an ice cream parlour's price list.
page 0.707 3
colours #ffffff #fff0f6 #e3fafc #fff0f6 #e3fafc
picture sweets/tripleicecream 0.06 0.05 0.18
picture sweets/rocketlolly 0.80 0.05 0.12
text c 0.05 0.50 centre #d6336c "DejaVu Sans" 80 bold SCOOPS
text c 0.14 0.44 centre #1098ad "Liberation Serif" 56 italic ice cream parlour
text c 0.30 0.72 centre #1a2850 "Liberation Sans" 50 regular One scoop ........ 2.50|Two scoops ........ 4.50|Three scoops ........ 6.00||Milkshake ........ 4.00|Sundae with cherry ........ 5.50|Ice lolly ........ 2.00
picture sweets/chocolatecone 0.10 0.74 0.14
picture sweets/cherrypie 0.70 0.78 0.22
