# Award (English): certificate of achievement with a lion crest.
page 1.414 3
colours #ffffff #fff3bf #ffffff #ffffff #ffec99
picture animals/lion c 0.05 0.20
text c 0.36 0.80 centre #1a2850 "DejaVu Serif" 80 bold CERTIFICATE
text c 0.50 0.42 centre #b08900 "Liberation Serif" 56 italic of achievement
text c 0.61 0.36 centre #495057 "Liberation Sans" 44 regular proudly presented to
text c 0.70 0.58 centre #1a2850 "Liberation Serif" 80 bolditalic Recipient Name
text c 0.86 0.56 centre #868e96 "Liberation Sans" 40 regular for outstanding effort and team spirit
