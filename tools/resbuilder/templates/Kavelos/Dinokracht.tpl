# T-shirt for children: a roaring dinosaur between two bold words.
page 0.95 1
colours #ffffff #ffffff #ffffff #ffffff #ffffff
picture dinosaurs/trex c 0.16 0.56
text c 0.03 0.62 centre #2e9e44 "DejaVu Sans" 96 bold DINO
text c 0.80 0.66 centre #f26b1d "DejaVu Sans" 96 bold KRACHT
