# Invitation (German): a summer garden party.
page 1.414 3
colours #ffffff #f4fce3 #fff9db #ebfbee #fff9db
picture flowers/sunflower 0.03 0.06 0.20
picture bugs/ladybird 0.84 0.70 0.12
text c 0.08 0.56 centre #2b8a3e "DejaVu Serif" 80 bold Einladung
text c 0.30 0.50 centre #e67700 "Liberation Serif" 60 italic zum Gartenfest
text c 0.52 0.50 centre #1a2850 "Liberation Sans" 48 regular Samstag, 4. Juli 2026, ab 16 Uhr|bei Familie Becker, Lindenweg 8|Wir freuen uns auf euch!
