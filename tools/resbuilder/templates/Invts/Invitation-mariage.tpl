# Invitation (French): a wedding.
page 0.707 3
colours #ffffff #fff0f6 #fff0f6 #ffffff #ffffff
picture party/weddingcouple c 0.22 0.30
picture party/bigheart 0.70 0.20 0.12 opacity 220
text c 0.05 0.70 centre #a61e4d "Liberation Serif" 80 italic Nous nous marions !
text c 0.58 0.56 centre #1a2850 "DejaVu Serif" 70 bold Claire & Julien
text c 0.70 0.70 centre #495057 "Liberation Serif" 48 regular le samedi 20 juin 2026 à 15 heures|Mairie de Nantes|suivi d'un dîner au château
