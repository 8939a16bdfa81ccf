<Generator_Name>
Quillamere
</Generator_Name>
<Generator_Version>
1.0
</Generator_Version>
<Product_Name>
General Menu Structure Description Format
</Product_Name>
<Product_Version>
1.0
</Product_Version>
<Structure_Description>
0#$@Home#$@file:///C|/site/index.html#$@_self#$@#$@
0#$@Products#$@products.html#$@_self#$@#$@
1#$@Prices#$@prices.html#$@_blank#$@#$@
1#$@Stock & orders#$@stock.html#$@_self#$@kept5#$@
0#$@Contact#$@mailto:info@example.com#$@_top#$@#$@
1#$@Map#$@#$@#$@#$@
</Structure_Description>
