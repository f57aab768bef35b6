# Business card (German): a bicycle workshop.
page 1.545 3
colours #ffffff #e7f5ff #ffffff #ffffff #d0ebff
picture transport/bicycle 0.56 0.18 0.40
text 0.06 0.14 0.46 left #1864ab "DejaVu Sans" 80 bold Radwerk|Müller
text 0.06 0.56 0.44 left #495057 "Liberation Serif" 50 italic Reparatur · Verkauf · Verleih
text 0.06 0.72 0.40 left #1a2850 "Liberation Sans" 44 regular Hauptstraße 5, Köln|0221 123456
