:Œ‚
SEARCHE,1(0,9),Œ‚
VAR,±=1
