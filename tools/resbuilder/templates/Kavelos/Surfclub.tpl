# T-shirt: a summer surf club crest with a dolphin under the sun.
page 0.95 1
colours #ffffff #ffffff #ffffff #ffffff #ffffff
picture sky/sun c 0.06 0.42
picture sealife/dolphin c 0.30 0.70
text c 0.70 0.80 centre #1b5fa8 "Liberation Sans" 90 bold SURFCLUB
text c 0.86 0.50 centre #f08a24 "Liberation Sans" 60 bolditalic Zomer 2026
