# Invitation (Dutch): a children's birthday party.
page 0.707 3
colours #ffffff #fff4e6 #e7f5ff #fff0f6 #fff9db
picture party/balloonbunch 0.04 0.03 0.30
picture party/partyhat 0.78 0.05 0.14
text c 0.28 0.80 centre #d6336c "DejaVu Sans" 90 bold Kom je ook|naar mijn feest?
picture party/birthdaycake c 0.50 0.36
text c 0.76 0.76 centre #1a2850 "Liberation Sans" 48 regular zaterdag 12 september, 14 uur|Kerkstraat 3|Tot dan! Laat je iets weten?
