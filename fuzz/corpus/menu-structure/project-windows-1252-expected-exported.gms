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
0#$@Café#$@cafe.html#$@_self#$@#$@
1#$@Crème brûlée – €5#$@menu.html#$@_self#$@#$@
</Structure_Description>
