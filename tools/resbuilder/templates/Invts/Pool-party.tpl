# Invitation (English): a summer pool party.
page 0.707 3
colours #ffffff #fff9db #fff9db #e3fafc #99e9f2
picture sky/sun 0.64 0.03 0.30
text 0.06 0.08 0.56 left #1864ab "DejaVu Sans" 90 bold POOL|PARTY
picture sports/waterskier c 0.38 0.50
picture sealife/yellowfish 0.08 0.80 0.16
text c 0.66 0.74 centre #1a2850 "Liberation Sans" 48 regular Saturday 1 August, 2 pm|12 Riverside Lane|bring your towel!
