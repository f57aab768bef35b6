# Wish card (French): Christmas.
page 0.707 3
colours #ffffff #e7f5ff #e7f5ff #ffffff #ffffff
picture sky/snowflake 0.06 0.06 0.14
picture sky/snowflake 0.80 0.14 0.10 opacity 180
picture party/christmastree 0.24 0.05 0.52
picture party/snowman 0.70 0.36 0.22
text c 0.66 0.84 centre #c92a2a "Liberation Serif" 90 bolditalic Joyeux Noël
text c 0.82 0.64 centre #1a2850 "Liberation Sans" 48 regular et une bonne année 2027 !
